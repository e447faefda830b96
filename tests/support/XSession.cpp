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

// The few Xlib calls the helpers need, looked up at run time: the tests link
// the windowing library, not Xlib itself.
struct Xlib {
    decltype(&XOpenDisplay) open_display = nullptr;
    decltype(&XCloseDisplay) close_display = nullptr;
    decltype(&XInternAtom) intern_atom = nullptr;
    decltype(&XSendEvent) send_event = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XStringToKeysym) string_to_keysym = nullptr;
    decltype(&XKeysymToKeycode) keysym_to_keycode = nullptr;

    bool loaded() const {
        return open_display != nullptr && close_display != nullptr && intern_atom != nullptr &&
               send_event != nullptr && sync != nullptr && string_to_keysym != nullptr &&
               keysym_to_keycode != nullptr;
    }
};

const Xlib& xlib() {
    static const Xlib functions = [] {
        Xlib f;
        void* p_library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (p_library != nullptr) {
            f.open_display =
                reinterpret_cast<decltype(&XOpenDisplay)>(dlsym(p_library, "XOpenDisplay"));
            f.close_display =
                reinterpret_cast<decltype(&XCloseDisplay)>(dlsym(p_library, "XCloseDisplay"));
            f.intern_atom =
                reinterpret_cast<decltype(&XInternAtom)>(dlsym(p_library, "XInternAtom"));
            f.send_event = reinterpret_cast<decltype(&XSendEvent)>(dlsym(p_library, "XSendEvent"));
            f.sync = reinterpret_cast<decltype(&XSync)>(dlsym(p_library, "XSync"));
            f.string_to_keysym =
                reinterpret_cast<decltype(&XStringToKeysym)>(dlsym(p_library, "XStringToKeysym"));
            f.keysym_to_keycode =
                reinterpret_cast<decltype(&XKeysymToKeycode)>(dlsym(p_library, "XKeysymToKeycode"));
        }
        return f;
    }();
    return functions;
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
    const Xlib& x = xlib();
    if (!x.loaded()) {
        return 0;
    }
    Display* p_display = x.open_display(nullptr);
    if (p_display == nullptr) {
        return 0;
    }
    const KeySym keysym = x.string_to_keysym(keysym_name.c_str());
    const int keycode = keysym == NoSymbol ? 0 : x.keysym_to_keycode(p_display, keysym);
    x.close_display(p_display);
    return keycode;
}

bool requestWindowClose(unsigned long window) {
    const Xlib& x = xlib();
    if (!x.loaded()) {
        return false;
    }
    Display* p_display = x.open_display(nullptr);
    if (p_display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.intern_atom(p_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(x.intern_atom(p_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = x.send_event(p_display, window, False, NoEventMask, &event);
    x.sync(p_display, False);
    x.close_display(p_display);
    return sent != 0;
}

}  // namespace ox_test
