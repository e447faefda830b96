#pragma once

// What each system's source of the platform layer defines for the code they
// share (Platform.cpp): the system's own clock, sleep and socket library start
// and stop, which tests may replace, and the address lookup, listen and
// connect that the socket calls are made of.

#include <cstdint>
#include <string>
#include <vector>

#include "../Platform.h"

struct addrinfo;

namespace ox::platform::system {

/// The monotonic clock, in microseconds from an arbitrary fixed origin.
std::int64_t now();

/// Blocks for at least the given microseconds; at once when not positive.
void sleep(std::int64_t microseconds);

/// Starts the socket library: 0, or the error code.
int startSockets();

/// Stops the socket library: 0, or the error code.
int stopSockets();

/// The addresses of host:port for a TCP stream (passive: to listen on), in
/// the order the system gives them; released on destruction.
class Addresses {
public:
    /// Looks the addresses up; none, with error set, when the lookup fails.
    Addresses(const std::string& host, const std::string& port, bool passive, int& error);
    ~Addresses();
    Addresses(const Addresses&) = delete;
    Addresses& operator=(const Addresses&) = delete;

    /// The addresses found.
    const std::vector<const addrinfo*>& list() const { return m_list; }

private:
    addrinfo* m_p_head = nullptr;
    std::vector<const addrinfo*> m_list;
};

/// The error code of a failed address lookup's result code.
int lookUpError(int code);

/// A non-blocking socket listening on the address, or INVALID_SOCKET_HANDLE
/// with error set.
Socket listenOn(const addrinfo& address, int& error);

/// A non-blocking connection to the address, made within timeout_ms
/// milliseconds, or INVALID_SOCKET_HANDLE with error set.
Socket connectTo(const addrinfo& address, int timeout_ms, int& error);

}  // namespace ox::platform::system
