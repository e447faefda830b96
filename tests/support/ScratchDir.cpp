#include "ScratchDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ox_test {

ScratchDir::ScratchDir() {
    m_previous = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "orvix-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("ScratchDir: cannot create " + pattern);
    }
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace ox_test
