#pragma once

#include <string>

namespace ox_test {

/// Moves the process into a new, empty directory for the lifetime of the
/// object and back to the previous one afterwards. Tests that read or write
/// files (logs, configuration, sprites) use one, so tests running in parallel
/// never share files.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    /// The absolute path of the scratch directory.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

/// The whole content of a file, or an empty string when it cannot be read.
std::string readFile(const std::string& path);

/// Writes (or replaces) a file with the given bytes.
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace ox_test
