#pragma once

#include <sys/types.h>

#include <string>

namespace ox_test {

/// An X server of the test's own (Xvfb), with DISPLAY pointing at it while
/// the object lives: keys held on a shared server would reach every other
/// test's windows. DISPLAY is restored on destruction; the server ends with
/// the test process (the windowing library's connection lasts until then).
class PrivateXServer {
public:
    /// Starts the server with one screen of the given size and depth.
    explicit PrivateXServer(const std::string& screen = "1920x1200x24");
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    /// True when the server runs and accepts connections.
    bool ok() const { return m_ok; }

private:
    pid_t m_pid = -1;
    bool m_ok = false;
    std::string m_old_display;
    bool m_had_display = false;
};

/// Runs "xdotool ARGS" and returns true when it succeeded.
bool xdotool(const std::string& args);

/// The server's key code of a key symbol name ("F11", "KP_Subtract"), or 0.
/// Given the number, xdotool presses exactly that key with no modifier.
int keycodeOf(const std::string& keysym_name);

/// Sends the window the WM_DELETE_WINDOW message a window manager's close
/// button sends. True when it was sent.
bool requestWindowClose(unsigned long window);

}  // namespace ox_test
