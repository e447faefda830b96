// The platform layer on Windows: Windows Sockets 2, the multimedia timer's
// resolution, and the C runtime's working directory and environment.

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, which bring in windows.h in the order they need.
#include <direct.h>
#include <mmsystem.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "Platform.h"
#include "detail/PlatformSystem.h"

namespace ox::platform {

std::int64_t system::now() {
    static const std::int64_t FREQUENCY = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<std::int64_t>(frequency.QuadPart);
    }();
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    const std::int64_t ticks = count.QuadPart;
    // In two parts, so that ticks * 1000000 never overflows.
    return ticks / FREQUENCY * 1000000 + ticks % FREQUENCY * 1000000 / FREQUENCY;
}

void system::sleep(std::int64_t microseconds) {
    // Sleep counts whole milliseconds of the system's timer, and may wake a
    // little before the last one has passed on the clock: sleep on until the
    // time asked has passed.
    const std::int64_t end = now() + microseconds;
    for (std::int64_t left = microseconds; left > 0; left = end - now()) {
        Sleep(static_cast<DWORD>(std::min<std::int64_t>((left + 999) / 1000, INFINITE - 1)));
    }
}

int system::startSockets() {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data);
}

int system::stopSockets() {
    return WSACleanup() == 0 ? 0 : WSAGetLastError();
}

namespace {

/// Makes a new socket non-blocking and not inherited by child processes.
/// False (the error code set) when that cannot be done.
bool prepareSocket(Socket socket) {
    u_long on = 1;
    return ioctlsocket(socket, FIONBIO, &on) == 0 &&
           SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
}

/// Closes a socket that is being given up after a failure, keeping the error.
void discardSocket(Socket socket) {
    const int saved = WSAGetLastError();
    closesocket(socket);
    WSASetLastError(saved);
}

}  // namespace

namespace system {

int lookUpError(int code) {
    return code;
}

// The address is the listener's alone: here, unlike on POSIX, address reuse
// would let a second listener take a port in use.
Socket listenOn(const addrinfo& address, int& error) {
    const Socket socket_handle = ::socket(address.ai_family, address.ai_socktype, 0);
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = WSAGetLastError();
        return INVALID_SOCKET_HANDLE;
    }
    const BOOL on = TRUE;
    if (!prepareSocket(socket_handle) ||
        setsockopt(socket_handle, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&on), sizeof(on)) == SOCKET_ERROR ||
        bind(socket_handle, address.ai_addr, static_cast<int>(address.ai_addrlen)) ==
            SOCKET_ERROR ||
        listen(socket_handle, SOMAXCONN) == SOCKET_ERROR) {
        discardSocket(socket_handle);
        error = WSAGetLastError();
        return INVALID_SOCKET_HANDLE;
    }
    return socket_handle;
}

/// Waits at most timeout_ms for a non-blocking connect in progress to end.
/// 0 when connected, else the error code.
int finishConnect(Socket socket, int timeout_ms) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval limit{timeout_ms / 1000, timeout_ms % 1000 * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &limit);
    if (ready == SOCKET_ERROR) {
        return WSAGetLastError();
    }
    if (ready == 0) {
        return WSAETIMEDOUT;
    }
    int code = 0;
    int length = sizeof(code);
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &length) ==
        SOCKET_ERROR) {
        return WSAGetLastError();
    }
    return code;
}

/// A connection to one address, or INVALID_SOCKET_HANDLE with error set.
Socket connectTo(const addrinfo& address, int timeout_ms, int& error) {
    const Socket socket_handle = ::socket(address.ai_family, address.ai_socktype, 0);
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = WSAGetLastError();
        return INVALID_SOCKET_HANDLE;
    }
    int code = 0;
    if (!prepareSocket(socket_handle)) {
        code = WSAGetLastError();
    } else if (::connect(socket_handle, address.ai_addr, static_cast<int>(address.ai_addrlen)) ==
               SOCKET_ERROR) {
        code = WSAGetLastError();
        code = code == WSAEWOULDBLOCK ? finishConnect(socket_handle, timeout_ms) : code;
    }
    if (code != 0) {
        error = code;
        discardSocket(socket_handle);
        return INVALID_SOCKET_HANDLE;
    }
    return socket_handle;
}

}  // namespace system

namespace {

/// A byte count as the socket calls take it: they take at most INT_MAX.
int socketLength(std::size_t bytes) {
    return static_cast<int>(std::min<std::size_t>(bytes, INT_MAX));
}

}  // namespace

bool requestTimerResolution(int milliseconds) {
    return timeBeginPeriod(static_cast<UINT>(milliseconds)) == TIMERR_NOERROR;
}

bool releaseTimerResolution(int milliseconds) {
    return timeEndPeriod(static_cast<UINT>(milliseconds)) == TIMERR_NOERROR;
}

bool localTimeOfDay(TimeOfDay& time) {
    SYSTEMTIME universal{};
    GetSystemTime(&universal);
    SYSTEMTIME local{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return false;
    }
    time = {local.wHour, local.wMinute, local.wSecond};
    return true;
}

namespace {

/// A thread's priority before its first raise, or none.
thread_local int saved_priority = THREAD_PRIORITY_ERROR_RETURN;

}  // namespace

ThreadPriority raiseCallingThread(ThreadPriority highest) {
    if (highest == ThreadPriority::NORMAL) {
        return callingThreadPriority();
    }
    // Windows threads do not inherit priority; the audio library raises the
    // threads it starts itself. Only the calling thread is raised here, and
    // never to the real-time class, which would hold back the system's input.
    HANDLE thread = GetCurrentThread();
    if (saved_priority == THREAD_PRIORITY_ERROR_RETURN) {
        saved_priority = GetThreadPriority(thread);
    }
    const int wanted = highest == ThreadPriority::REALTIME ? THREAD_PRIORITY_HIGHEST
                                                           : THREAD_PRIORITY_ABOVE_NORMAL;
    if (SetThreadPriority(thread, wanted) != 0) {
        return ThreadPriority::RAISED;
    }
    return callingThreadPriority();
}

void lowerCallingThread() {
    if (saved_priority == THREAD_PRIORITY_ERROR_RETURN) {
        return;
    }
    SetThreadPriority(GetCurrentThread(), saved_priority);
    saved_priority = THREAD_PRIORITY_ERROR_RETURN;
}

ThreadPriority callingThreadPriority() {
    const int priority = GetThreadPriority(GetCurrentThread());
    if (priority == THREAD_PRIORITY_ERROR_RETURN || priority <= THREAD_PRIORITY_NORMAL) {
        return ThreadPriority::NORMAL;
    }
    return priority >= THREAD_PRIORITY_TIME_CRITICAL ? ThreadPriority::REALTIME
                                                     : ThreadPriority::RAISED;
}

std::string workingDirectory() {
    char buffer[WORKING_DIRECTORY_BUFFER];
    if (_getcwd(buffer, sizeof(buffer)) == nullptr) {
        return "(full path too long)";
    }
    return buffer;
}

bool setEnvironment(const std::string& name, const std::string& value, bool replace) {
    if (name.empty() || name.find('=') != std::string::npos) {
        return false;
    }
    if (!replace && std::getenv(name.c_str()) != nullptr) {
        return true;
    }
    return _putenv_s(name.c_str(), value.c_str()) == 0;
}

bool unsetEnvironment(const std::string& name) {
    // An empty value removes the variable.
    return !name.empty() && name.find('=') == std::string::npos && _putenv_s(name.c_str(), "") == 0;
}

bool hasDisplay() {
    return true;
}

std::string socketErrorText(int code) {
    wchar_t* p_wide = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&p_wide), 0, nullptr);
    std::string text;
    if (length > 0) {
        const int wide_length = static_cast<int>(length);
        text.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_UTF8, 0, p_wide, wide_length, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_UTF8, 0, p_wide, wide_length, text.data(),
                            static_cast<int>(text.size()), nullptr, nullptr);
    }
    LocalFree(p_wide);
    // The system's texts end with a line break, which POSIX's do not.
    text.erase(text.find_last_not_of(" \r\n") + 1);
    return text;
}

bool isWouldBlock(int code) {
    return code == WSAEWOULDBLOCK;
}

bool isConnectionClosed(int code) {
    return code == WSAENOTCONN || code == WSAENOTSOCK || code == WSAESHUTDOWN ||
           code == WSAECONNRESET || code == WSAECONNABORTED || code == WSAENETRESET ||
           code == WSAETIMEDOUT;
}

Socket acceptSocket(Socket server, int& error) {
    sockaddr_storage address{};
    int length = sizeof(address);
    const Socket socket_handle = ::accept(server, reinterpret_cast<sockaddr*>(&address), &length);
    if (socket_handle == INVALID_SOCKET_HANDLE) {
        error = WSAGetLastError();
        return INVALID_SOCKET_HANDLE;
    }
    if (!prepareSocket(socket_handle)) {
        error = WSAGetLastError();
        discardSocket(socket_handle);
        return INVALID_SOCKET_HANDLE;
    }
    error = 0;
    return socket_handle;
}

std::int64_t sendSocket(Socket socket, const char* data, std::size_t bytes, int& error) {
    // Windows raises no signal for a peer that has gone.
    const int sent = ::send(socket, data, socketLength(bytes), 0);
    error = sent == SOCKET_ERROR ? WSAGetLastError() : 0;
    return sent == SOCKET_ERROR ? -1 : sent;
}

std::int64_t receiveSocket(Socket socket, char* buffer, std::size_t size, bool peek, int& error) {
    const int received = ::recv(socket, buffer, socketLength(size), peek ? MSG_PEEK : 0);
    error = received == SOCKET_ERROR ? WSAGetLastError() : 0;
    return received == SOCKET_ERROR ? -1 : received;
}

int closeSocket(Socket socket, int& error) {
    if (closesocket(socket) == SOCKET_ERROR) {
        error = WSAGetLastError();
        return -1;
    }
    error = 0;
    return 0;
}

int abortSocket(Socket socket, int& error) {
    const linger hard_close{1, 0};
    if (setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard_close),
                   sizeof(hard_close)) == SOCKET_ERROR) {
        error = WSAGetLastError();
        discardSocket(socket);
        return -1;
    }
    return closeSocket(socket, error);
}

int localPort(Socket socket) {
    sockaddr_storage address{};
    int length = sizeof(address);
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == SOCKET_ERROR) {
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
