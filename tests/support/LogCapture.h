#pragma once

#include <string>
#include <vector>

#include "ScratchDir.h"

namespace ox_test {

/// Sends the engine's log to "test.log" in a fresh scratch directory (through
/// "ORVIX_LOG") and reads it back. Sets the level and turns flushing on;
/// starts the LogManager unless start_now is false (GameManager::startUp
/// starts it itself). On destruction stops it and restores what it changed.
class LogCapture {
public:
    explicit LogCapture(int level = 0, bool start_now = true);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// Absolute path of the log file.
    std::string path() const { return m_dir.path() + "/test.log"; }
    /// The scratch directory the test now runs in.
    ScratchDir& dir() { return m_dir; }
    /// The whole log file, prefixes included.
    std::string text() const { return readFile(path()); }
    /// Every line of the log with its time and step-count prefix removed.
    std::vector<std::string> messages() const;
    /// The step count of every line, in order (-1 for a line without a prefix).
    std::vector<int> stepCounts() const;
    /// True when some line's message equals the text exactly.
    bool contains(const std::string& message) const { return count(message) > 0; }
    /// How many lines' messages equal the text exactly.
    int count(const std::string& message) const;
    /// True when some line's message contains the text.
    bool containsPart(const std::string& part) const;

private:
    ScratchDir m_dir;
    std::string m_old_env;
    bool m_had_env;
    int m_old_level;
    bool m_old_flush;
};

}  // namespace ox_test
