// The platform layer on POSIX systems (Linux, macOS).

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Platform.h"
#include "detail/PlatformSystem.h"

namespace ox::platform {

std::int64_t system::now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void system::sleep(std::int64_t microseconds) {
    if (microseconds <= 0) {
        return;
    }
    timespec request{};
    request.tv_sec = static_cast<time_t>(microseconds / 1000000);
    request.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000L;
    timespec remaining{};
    // A signal may wake the sleep early; sleep on for what is left.
    while (nanosleep(&request, &remaining) == -1 && errno == EINTR) {
        request = remaining;
    }
}

// POSIX sockets need no library start or stop.
int system::startSockets() {
    return 0;
}

int system::stopSockets() {
    return 0;
}

namespace {

// A send to a peer that has gone must fail with EPIPE, never raise SIGPIPE
// (which would end the process).
#if defined(MSG_NOSIGNAL)
constexpr int SEND_FLAGS = MSG_NOSIGNAL;
#else
constexpr int SEND_FLAGS = 0;  // SO_NOSIGPIPE is set on every socket instead
#endif

// getaddrinfo's failure codes are negative here, so they never meet errno's.
static_assert(EAI_NONAME < 0 && EAI_AGAIN < 0, "address lookup codes must be negative");

/// Makes a new socket non-blocking, closed on exec, and quiet on a broken pipe.
/// False (errno set) when that cannot be done.
bool prepareSocket(Socket socket) {
    const int flags = fcntl(socket, F_GETFL, 0);
    if (flags == -1 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) == -1 ||
        fcntl(socket, F_SETFD, FD_CLOEXEC) == -1) {
        return false;
    }
#if defined(SO_NOSIGPIPE)
    const int on = 1;
    if (setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof(on)) == -1) {
        return false;
    }
#endif
    return true;
}

/// Closes a socket that is being given up after a failure, keeping errno.
void discardSocket(Socket socket) {
    const int saved = errno;
    close(socket);
    errno = saved;
}

}  // namespace

namespace system {

int lookUpError(int code) {
    return code == EAI_SYSTEM ? errno : code;
}

Socket listenOn(const addrinfo& address, int& error) {
    const Socket socket_handle = ::socket(address.ai_family, address.ai_socktype, 0);
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = errno;
        return INVALID_SOCKET_HANDLE;
    }
    const int on = 1;
    if (!prepareSocket(socket_handle) ||
        setsockopt(socket_handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) == -1 ||
        bind(socket_handle, address.ai_addr, address.ai_addrlen) == -1 ||
        listen(socket_handle, SOMAXCONN) == -1) {
        discardSocket(socket_handle);
        error = errno;
        return INVALID_SOCKET_HANDLE;
    }
    return socket_handle;
}

/// Waits at most timeout_ms for a non-blocking connect in progress to end.
/// 0 when connected, else the error code.
int finishConnect(Socket socket, int timeout_ms) {
    pollfd entry{socket, POLLOUT, 0};
    int ready;
    while ((ready = poll(&entry, 1, timeout_ms)) == -1 && errno == EINTR) {
    }
    if (ready == -1) {
        return errno;
    }
    if (ready == 0) {
        return ETIMEDOUT;
    }
    int code = 0;
    socklen_t length = sizeof(code);
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &code, &length) == -1) {
        return errno;
    }
    return code;
}

/// A connection to one address, or INVALID_SOCKET_HANDLE with error set.
Socket connectTo(const addrinfo& address, int timeout_ms, int& error) {
    const Socket socket_handle = ::socket(address.ai_family, address.ai_socktype, 0);
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = errno;
        return INVALID_SOCKET_HANDLE;
    }
    int code = 0;
    if (!prepareSocket(socket_handle)) {
        code = errno;
    } else if (::connect(socket_handle, address.ai_addr, address.ai_addrlen) == -1) {
        code = errno == EINPROGRESS || errno == EINTR ? finishConnect(socket_handle, timeout_ms)
                                                      : errno;
    }
    if (code != 0) {
        error = code;
        discardSocket(socket_handle);
        return INVALID_SOCKET_HANDLE;
    }
    return socket_handle;
}

}  // namespace system

bool requestTimerResolution(int) {
    // POSIX sleeps already have sub-millisecond resolution: nothing to ask.
    return true;
}

bool releaseTimerResolution(int) {
    return true;
}

bool localTimeOfDay(TimeOfDay& time) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
        return false;
    }
    time = {local.tm_hour, local.tm_min, local.tm_sec};
    return true;
}

namespace {

// A low real-time priority: ahead of every ordinary thread, behind the
// system's own real-time threads (the range is 1 to 99).
constexpr int REALTIME_PRIORITY = 10;
// The nice value of a raised thread: well ahead of ordinary threads (0) and
// of the usual busy background work (0 to 19). Linux gives each thread its
// own nice value, which the threads it starts inherit.
constexpr int RAISED_NICE = -11;

/// The scheduling a thread had before its first raise.
struct SavedScheduling {
    bool saved = false;
    int policy = SCHED_OTHER;
    sched_param param{};
    int nice = 0;
};

thread_local SavedScheduling saved_scheduling;

int currentNice() {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    return errno == 0 ? nice : 0;
}

void saveScheduling() {
    if (saved_scheduling.saved) {
        return;
    }
    saved_scheduling.saved = pthread_getschedparam(pthread_self(), &saved_scheduling.policy,
                                                   &saved_scheduling.param) == 0;
    saved_scheduling.nice = currentNice();
}

}  // namespace

ThreadPriority raiseCallingThread(ThreadPriority highest) {
    if (highest == ThreadPriority::NORMAL) {
        return callingThreadPriority();
    }
    saveScheduling();
    if (highest == ThreadPriority::REALTIME) {
        sched_param param{};
        param.sched_priority = REALTIME_PRIORITY;
        if (pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0) {
            return ThreadPriority::REALTIME;
        }
    }
    if (currentNice() <= RAISED_NICE || setpriority(PRIO_PROCESS, 0, RAISED_NICE) == 0) {
        return ThreadPriority::RAISED;
    }
    return callingThreadPriority();
}

void lowerCallingThread() {
    if (!saved_scheduling.saved) {
        return;
    }
    pthread_setschedparam(pthread_self(), saved_scheduling.policy, &saved_scheduling.param);
    setpriority(PRIO_PROCESS, 0, saved_scheduling.nice);
    saved_scheduling.saved = false;
}

ThreadPriority callingThreadPriority() {
    int policy = SCHED_OTHER;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &policy, &param) == 0 &&
        (policy == SCHED_RR || policy == SCHED_FIFO)) {
        return ThreadPriority::REALTIME;
    }
    return currentNice() < 0 ? ThreadPriority::RAISED : ThreadPriority::NORMAL;
}

std::string workingDirectory() {
    char buffer[WORKING_DIRECTORY_BUFFER];
    if (getcwd(buffer, sizeof(buffer)) == nullptr) {
        return "(full path too long)";
    }
    return buffer;
}

bool setEnvironment(const std::string& name, const std::string& value, bool replace) {
    return setenv(name.c_str(), value.c_str(), replace ? 1 : 0) == 0;
}

bool unsetEnvironment(const std::string& name) {
    return unsetenv(name.c_str()) == 0;
}

bool hasDisplay() {
#if defined(__APPLE__)
    return true;
#else
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
#endif
}

std::string socketErrorText(int code) {
    if (code < 0) {
        return gai_strerror(code);
    }
    const char* p_text = std::strerror(code);
    return p_text ? p_text : "";
}

bool isWouldBlock(int code) {
    return code == EAGAIN || code == EWOULDBLOCK;
}

bool isConnectionClosed(int code) {
    return code == ENOTCONN || code == EBADF || code == EPIPE || code == ECONNRESET ||
           code == ECONNABORTED || code == ETIMEDOUT;
}

Socket acceptSocket(Socket server, int& error) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    Socket socket_handle;
    while ((socket_handle = ::accept(server, reinterpret_cast<sockaddr*>(&address), &length)) ==
               INVALID_SOCKET_HANDLE &&
           errno == EINTR) {
        length = sizeof(address);
    }
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = errno;
        return INVALID_SOCKET_HANDLE;
    }
    // An accepted socket does not inherit the listener's non-blocking mode here.
    if (!prepareSocket(socket_handle)) {
        error = errno;
        discardSocket(socket_handle);
        return INVALID_SOCKET_HANDLE;
    }
    error = 0;
    return socket_handle;
}

std::int64_t sendSocket(Socket socket, const char* data, std::size_t bytes, int& error) {
    ssize_t sent;
    while ((sent = ::send(socket, data, bytes, SEND_FLAGS)) == -1 && errno == EINTR) {
    }
    // The send's own error code, read at once: a later call may change errno.
    error = sent == -1 ? errno : 0;
    return sent;
}

std::int64_t receiveSocket(Socket socket, char* buffer, std::size_t size, bool peek, int& error) {
    ssize_t received;
    while ((received = ::recv(socket, buffer, size, peek ? MSG_PEEK : 0)) == -1 && errno == EINTR) {
    }
    error = received == -1 ? errno : 0;
    return received;
}

int closeSocket(Socket socket, int& error) {
    // Here the handle is released even when close reports an error (EINTR
    // included), so it is never closed twice.
    if (close(socket) == -1) {
        error = errno;
        return -1;
    }
    error = 0;
    return 0;
}

int abortSocket(Socket socket, int& error) {
    const linger hard_close{1, 0};
    if (setsockopt(socket, SOL_SOCKET, SO_LINGER, &hard_close, sizeof(hard_close)) == -1) {
        error = errno;
        discardSocket(socket);
        return -1;
    }
    return closeSocket(socket, error);
}

int localPort(Socket socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == -1) {
        return -1;
    }
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    }
    return -1;
}

}  // namespace ox::platform
