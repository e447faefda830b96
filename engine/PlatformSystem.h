#pragma once

// The system's own clock, sleep and socket library start and stop, which
// Platform.cpp calls unless a test has put others in their place. Each
// system's source of the platform layer defines them.

#include <cstdint>

namespace ox::platform::system {

/// The monotonic clock, in microseconds from an arbitrary fixed origin.
std::int64_t now();

/// Blocks for at least the given microseconds; at once when not positive.
void sleep(std::int64_t microseconds);

/// Starts the socket library: 0, or the error code.
int startSockets();

/// Stops the socket library: 0, or the error code.
int stopSockets();

}  // namespace ox::platform::system
