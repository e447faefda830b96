#include "ScratchDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace ox_test {

ScratchDir::ScratchDir() {
    m_previous = std::filesystem::current_path().string();
    // A new directory of a random name: creating it fails when the name is taken.
    std::random_device random;
    for (int tries = 0; tries < 100 && m_path.empty(); tries++) {
        const auto path =
            std::filesystem::temp_directory_path() / ("orvix-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path)) {
            m_path = path.string();
        }
    }
    if (m_path.empty()) {
        throw std::runtime_error("ScratchDir: cannot create a directory");
    }
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
