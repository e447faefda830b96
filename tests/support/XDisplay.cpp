#include "XDisplay.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace ox_test {

bool waitForXDisplay(int timeout_ms) {
    // Xlib's XOpenDisplay, found at run time: the tests link no X library.
    static void* p_display = nullptr;
    void* p_library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    const auto open_display =
        p_library == nullptr
            ? nullptr
            : reinterpret_cast<void* (*)(const char*)>(dlsym(p_library, "XOpenDisplay"));
    const char* p_name = std::getenv("DISPLAY");
    if (p_display != nullptr || p_name == nullptr || p_name[0] == '\0' || !open_display) {
        return p_display != nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while ((p_display = open_display(nullptr)) == nullptr) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace ox_test
