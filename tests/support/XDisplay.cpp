#include "XDisplay.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace ox_test {

namespace {

// Xlib's XOpenDisplay, found at run time so that the tests need no X headers
// or link options of their own.
using OpenDisplay = void* (*)(const char*);

OpenDisplay findOpenDisplay() {
    void* p_library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (p_library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<OpenDisplay>(dlsym(p_library, "XOpenDisplay"));
}

// The connection kept open until the process ends.
void* g_p_display = nullptr;

}  // namespace

bool waitForXDisplay(int timeout_ms) {
    if (g_p_display != nullptr) {
        return true;
    }
    const char* p_name = std::getenv("DISPLAY");
    const OpenDisplay open_display = findOpenDisplay();
    if (p_name == nullptr || p_name[0] == '\0' || open_display == nullptr) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while ((g_p_display = open_display(nullptr)) == nullptr) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace ox_test
