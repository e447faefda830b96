#include "XSession.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "XDisplay.h"

namespace ox_test {

namespace {

// An Xlib function looked up at run time (the tests link the windowing
// library, not Xlib itself); null when it cannot be found.
template <typename F>
F xlib(const char* name) {
    static void* p_library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    return p_library == nullptr ? nullptr : reinterpret_cast<F>(dlsym(p_library, name));
}

// Runs body on a connection of its own to the server; false when none opens.
template <typename Body>
bool withDisplay(Body body) {
    const auto open_display = xlib<decltype(&XOpenDisplay)>("XOpenDisplay");
    const auto close_display = xlib<decltype(&XCloseDisplay)>("XCloseDisplay");
    Display* p_display = open_display && close_display ? open_display(nullptr) : nullptr;
    if (p_display == nullptr) {
        return false;
    }
    body(p_display);
    close_display(p_display);
    return true;
}

// Reads the display number the server writes once it accepts connections,
// waiting at most timeout_ms. -1 when nothing (or no number) came.
int readDisplayNumber(int fd, int timeout_ms) {
    std::string text;
    pollfd waiting{fd, POLLIN, 0};
    while (text.find('\n') == std::string::npos && poll(&waiting, 1, timeout_ms) > 0) {
        char buffer[32];
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return -1;
    }
    return std::atoi(text.c_str());
}

}  // namespace

PrivateXServer::PrivateXServer(const std::string& screen) {
    const char* p_old = std::getenv("DISPLAY");
    m_had_display = p_old != nullptr;
    m_old_display = m_had_display ? p_old : "";
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        // The server lives as long as the test process: the windowing library
        // keeps its connection until the very end, and a server that went
        // away first would make it end the process with an I/O error.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == 1) {
            _exit(1);
        }
        // The server picks a free display and writes its number to the pipe.
        close(fds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        // No reset when a client leaves: a reset refuses connections for a
        // moment, and the readiness probe and xdotool come and go.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    const int number = m_pid > 0 ? readDisplayNumber(fds[0], 20000) : -1;
    close(fds[0]);
    if (number < 0) {
        return;
    }
    m_display = ":" + std::to_string(number);
    setenv("DISPLAY", m_display.c_str(), 1);
    m_ok = waitForXDisplay();
}

PrivateXServer::~PrivateXServer() {
    if (m_pid > 0 && !m_ok) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_had_display) {
        setenv("DISPLAY", m_old_display.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

bool xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

int keycodeOf(const std::string& keysym_name) {
    const auto to_keysym = xlib<decltype(&XStringToKeysym)>("XStringToKeysym");
    const auto to_keycode = xlib<decltype(&XKeysymToKeycode)>("XKeysymToKeycode");
    int keycode = 0;
    if (to_keysym != nullptr && to_keycode != nullptr) {
        withDisplay([&](Display* p_display) {
            const KeySym keysym = to_keysym(keysym_name.c_str());
            keycode = keysym == NoSymbol ? 0 : to_keycode(p_display, keysym);
        });
    }
    return keycode;
}

bool requestWindowClose(unsigned long window) {
    const auto intern_atom = xlib<decltype(&XInternAtom)>("XInternAtom");
    const auto send_event = xlib<decltype(&XSendEvent)>("XSendEvent");
    const auto sync = xlib<decltype(&XSync)>("XSync");
    Status sent = 0;
    if (intern_atom != nullptr && send_event != nullptr && sync != nullptr) {
        withDisplay([&](Display* p_display) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = intern_atom(p_display, "WM_PROTOCOLS", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] =
                static_cast<long>(intern_atom(p_display, "WM_DELETE_WINDOW", False));
            event.xclient.data.l[1] = CurrentTime;
            sent = send_event(p_display, window, False, NoEventMask, &event);
            sync(p_display, False);
        });
    }
    return sent != 0;
}

}  // namespace ox_test
