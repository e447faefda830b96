#include "Platform.h"

#include "detail/PlatformSystem.h"
#include "detail/sockets.h"

// What every system shares: the clock, sleep and socket library that tests may
// replace, in front of each system's own, and listening and connecting on the
// first address of a host that works.

namespace ox::platform {

namespace {

TimeSource g_now = system::now;
SleepFunction g_sleep = system::sleep;
SocketLibraryFunction g_start_sockets = system::startSockets;
SocketLibraryFunction g_stop_sockets = system::stopSockets;

}  // namespace

system::Addresses::Addresses(const std::string& host, const std::string& port, bool passive,
                             int& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    const int code =
        getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &m_p_head);
    if (code != 0) {
        error = lookUpError(code);
        m_p_head = nullptr;
    }
    for (const addrinfo* p = m_p_head; p != nullptr; p = p->ai_next) {
        m_list.push_back(p);
    }
}

system::Addresses::~Addresses() {
    if (m_p_head != nullptr) {
        freeaddrinfo(m_p_head);
    }
}

std::int64_t nowMicroseconds() {
    return g_now();
}

void sleepMicroseconds(std::int64_t microseconds) {
    g_sleep(microseconds);
}

void setTimeSource(TimeSource now, SleepFunction sleep) {
    g_now = now ? now : system::now;
    g_sleep = sleep ? sleep : system::sleep;
}

int startSockets() {
    return g_start_sockets();
}

int stopSockets() {
    return g_stop_sockets();
}

void setSocketLibrary(SocketLibraryFunction start, SocketLibraryFunction stop) {
    g_start_sockets = start ? start : system::startSockets;
    g_stop_sockets = stop ? stop : system::stopSockets;
}

Socket listenSocket(const std::string& host, const std::string& port, int& error) {
    const system::Addresses addresses(host, port, true, error);
    Socket socket_handle = INVALID_SOCKET_HANDLE;
    for (const addrinfo* p_address : addresses.list()) {
        if ((socket_handle = system::listenOn(*p_address, error)) != INVALID_SOCKET_HANDLE) {
            error = 0;
            break;
        }
    }
    return socket_handle;
}

Socket connectSocket(const std::string& host, const std::string& port, int timeout_ms, int& error) {
    const system::Addresses addresses(host, port, false, error);
    Socket socket_handle = INVALID_SOCKET_HANDLE;
    for (const addrinfo* p_address : addresses.list()) {
        if ((socket_handle = system::connectTo(*p_address, timeout_ms, error)) !=
            INVALID_SOCKET_HANDLE) {
            error = 0;
            break;
        }
    }
    return socket_handle;
}

}  // namespace ox::platform
