#pragma once

// The one place where the engine meets the operating system. Everything that
// differs between platforms (clock, sleep, timer resolution, working
// directory, compiler attributes) is declared here and implemented in
// Platform.cpp; no other unit carries a platform conditional.

#include <cstdint>
#include <string>

/// Lets the compiler check printf-style arguments: FMT is the position of the
/// format string, ARGS the position of the first variadic argument (for member
/// functions, the implicit object is position 1).
#if defined(__GNUC__) || defined(__clang__)
#define OX_PRINTF_FORMAT(FMT, ARGS) __attribute__((format(printf, FMT, ARGS)))
#else
#define OX_PRINTF_FORMAT(FMT, ARGS)
#endif

namespace ox::platform {

// ---------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------

/// A clock reading source: microseconds from an arbitrary fixed origin.
using TimeSource = std::int64_t (*)();

/// A sleep function: blocks for the given number of microseconds.
using SleepFunction = void (*)(std::int64_t microseconds);

/// Current reading of the monotonic clock, in microseconds. Readings never go
/// backwards while the program runs, so the difference of two is elapsed time.
std::int64_t nowMicroseconds();

/// Blocks the calling thread for the given number of microseconds (at least
/// that long; the system may add its wake-up latency). Zero or a negative
/// count returns at once.
void sleepMicroseconds(std::int64_t microseconds);

/// Replaces the clock and the sleep function (tests use this to drive the game
/// loop with simulated time). A null pointer restores the system's own.
void setTimeSource(TimeSource now, SleepFunction sleep);

/// Asks the system for a timer resolution of the given milliseconds for
/// sleeping. Returns false only when the system refuses the request; where no
/// such request exists (POSIX) it does nothing and returns true.
bool requestTimerResolution(int milliseconds);

/// Releases a resolution obtained with requestTimerResolution. Returns false
/// only when the system refuses; where no such request exists it returns true.
bool releaseTimerResolution(int milliseconds);

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

/// Size of the buffer the working directory is read into, terminator included.
constexpr int WORKING_DIRECTORY_BUFFER = 256;

/// The current working directory, read into a buffer of
/// WORKING_DIRECTORY_BUFFER bytes; "(full path too long)" when it does not fit
/// or cannot be read.
std::string workingDirectory();

}  // namespace ox::platform
