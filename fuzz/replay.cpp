// Replays fuzz corpora without libFuzzer, so the normal test run (and its
// sanitizer pass) covers every input a campaign kept or that once found a
// fault. Linked with one target's source: every file of the directories given
// goes once through the target's LLVMFuzzerTestOneInput, in name order. Under
// the sanitizers an input whose single allocation passes --malloc-limit-mb
// fails, as it does in a campaign run with -malloc_limit_mb.
// Usage: replay_NAME [--malloc-limit-mb MB] DIRECTORY...
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* p_argc, char*** p_argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// The sanitizer runtime's allocation hooks; absent (null) in other builds.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*,
                                                                  std::size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

/// True when single allocations can be watched (the sanitizer build).
bool watchAllocations() {
    return __sanitizer_install_malloc_and_free_hooks != nullptr &&
           __sanitizer_install_malloc_and_free_hooks(
               [](const volatile void*, std::size_t size) {
                   if (watching.load() && size > largest.load()) {
                       largest.store(size);
                   }
               },
               [](const volatile void*) {}) != 0;
}

/// Every regular file of the directories, in name order; empty when one of
/// them is missing.
std::vector<std::filesystem::path> corpusFiles(const std::vector<std::string>& dirs) {
    std::vector<std::filesystem::path> files;
    for (const std::string& dir : dirs) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        if (error) {
            std::fprintf(stderr, "replay: Error! Cannot read directory '%s'.\n", dir.c_str());
            return {};
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

/// Runs one file through the target; false when it allocated past the limit.
bool replay(const std::filesystem::path& file, std::size_t limit_bytes) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::printf("replay: %s\n", file.string().c_str());
    std::fflush(stdout);
    largest = 0;
    watching = true;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    watching = false;
    if (limit_bytes > 0 && largest.load() > limit_bytes) {
        std::fprintf(stderr, "replay: Error! '%s' allocated %zu bytes at once.\n",
                     file.string().c_str(), largest.load());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t limit_bytes = 0;
    std::vector<std::string> dirs;
    for (int i = 1; i < argc; i++) {
        if (std::string(argv[i]) == "--malloc-limit-mb" && i + 1 < argc) {
            limit_bytes = std::strtoull(argv[++i], nullptr, 10) << 20;
        } else {
            dirs.push_back(argv[i]);
        }
    }
    const std::vector<std::filesystem::path> files = corpusFiles(dirs);
    if (files.empty()) {
        std::fprintf(stderr, "replay: Error! No inputs to replay.\n");
        return 1;
    }
    LLVMFuzzerInitialize(&argc, &argv);
    if (!watchAllocations()) {
        limit_bytes = 0;  // nothing to watch with outside the sanitizer build
    }
    for (const std::filesystem::path& file : files) {
        if (!replay(file, limit_bytes)) {
            return 1;
        }
    }
    std::printf("replay: %zu inputs, none failed\n", files.size());
    return 0;
}
