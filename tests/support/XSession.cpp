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

// An Xlib function looked up at run time (the tests link no X library).
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
    if (p_display != nullptr) {
        body(p_display);
        close_display(p_display);
    }
    return p_display != nullptr;
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
        // Ends with the test process, which keeps its connection to the last.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == 1) {
            _exit(1);
        }
        close(fds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        // The server writes the free display it picked to the pipe. No reset
        // when a client leaves: it would refuse connections for a moment.
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // The display number, once the server accepts connections (20 s at most).
    std::string text;
    pollfd waiting{fds[0], POLLIN, 0};
    char buffer[32];
    ssize_t got = 0;
    while (m_pid > 0 && text.find('\n') == std::string::npos && poll(&waiting, 1, 20000) > 0 &&
           (got = read(fds[0], buffer, sizeof(buffer))) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return;
    }
    setenv("DISPLAY", (":" + std::to_string(std::atoi(text.c_str()))).c_str(), 1);
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
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
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
