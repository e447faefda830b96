#pragma once

// The one place where the engine meets the operating system. Everything that
// differs between platforms (clock, sleep, timer resolution, time of day,
// working directory, environment, sockets, compiler attributes) is declared
// here; the keyboard and mouse, which go through the window library, in
// PlatformInput.h. Platform.cpp holds what every system shares, and the build
// adds PlatformPosix.cpp or PlatformWindows.cpp for the rest. No other unit
// carries a platform conditional.

#include <cstddef>
#include <cstdint>
#include <string>

/// Lets the compiler check printf-style arguments: FMT is the position of the
/// format string, ARGS the position of the first variadic argument (for member
/// functions, the implicit object is position 1). With mingw-w64, the checks
/// follow the printf the build uses (the build asks for its C99 one).
#if defined(__MINGW32__)
#define OX_PRINTF_FORMAT(FMT, ARGS) __attribute__((format(__MINGW_PRINTF_FORMAT, FMT, ARGS)))
#elif defined(__GNUC__) || defined(__clang__)
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

/// A wall-clock time of day.
struct TimeOfDay {
    int hour = 0;    ///< 0 to 23
    int minute = 0;  ///< 0 to 59
    int second = 0;  ///< 0 to 60 (a leap second)
};

/// Reads the local time of day into time. False when the system cannot tell it.
bool localTimeOfDay(TimeOfDay& time);

// ---------------------------------------------------------------------------
// Threads
// ---------------------------------------------------------------------------

/// How far a thread's scheduling is raised above that of ordinary threads.
enum class ThreadPriority {
    NORMAL,    ///< As every ordinary thread: nothing was granted.
    RAISED,    ///< Ahead of ordinary threads, still sharing the processor with them.
    REALTIME,  ///< Runs whenever it is ready, before every ordinary thread.
};

/// Raises the calling thread as far as the system grants, up to highest:
/// real-time scheduling when asked for and allowed, else a raised priority.
/// Where threads inherit their starter's scheduling (POSIX), threads the
/// calling thread starts while raised run at the same priority. Returns what
/// was granted (NORMAL: nothing changed).
ThreadPriority raiseCallingThread(ThreadPriority highest);

/// Returns the calling thread to the scheduling it had before its first
/// raiseCallingThread; nothing happens when it was never raised.
void lowerCallingThread();

/// The calling thread's scheduling, as far as the engine raises it.
ThreadPriority callingThreadPriority();

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

/// Size of the buffer the working directory is read into, terminator included.
constexpr int WORKING_DIRECTORY_BUFFER = 256;

/// The current working directory, read into a buffer of
/// WORKING_DIRECTORY_BUFFER bytes; "(full path too long)" when it does not fit
/// or cannot be read.
std::string workingDirectory();

// ---------------------------------------------------------------------------
// Environment
// ---------------------------------------------------------------------------

/// Sets a variable in the process's environment, which libraries read when
/// they start (before then, to take effect). A value already set is kept
/// unless replace is true. False when the variable cannot be set.
bool setEnvironment(const std::string& name, const std::string& value, bool replace);

/// Removes a variable from the process's environment. False when it cannot be removed.
bool unsetEnvironment(const std::string& name);

// ---------------------------------------------------------------------------
// Display
// ---------------------------------------------------------------------------

/// True when a window can be opened: where windows go through an X display
/// server, when one has been named (DISPLAY set); elsewhere always. Without a
/// display server, opening a window would end the process.
bool hasDisplay();

// ---------------------------------------------------------------------------
// Sockets
// ---------------------------------------------------------------------------
// Every socket is a non-blocking TCP stream socket: no call below waits for
// the network, except connectSocket, which waits at most its time limit. The
// calls report failure with a system error code (0 when there is none).

#if defined(_WIN32)
/// A socket handle: on Windows, the system's unsigned pointer-sized SOCKET.
using Socket = std::uintptr_t;

/// The handle of no socket.
constexpr Socket INVALID_SOCKET_HANDLE = ~Socket{0};
#else
/// A socket handle: a file descriptor.
using Socket = int;

/// The handle of no socket.
constexpr Socket INVALID_SOCKET_HANDLE = -1;
#endif

/// Starts or stops the socket library: 0 on success, else an error code.
using SocketLibraryFunction = int (*)();

/// Starts the socket library: 0 on success, else the error code. Where sockets
/// need no library start (POSIX) it does nothing and succeeds.
int startSockets();

/// Stops the socket library: 0 on success, else the error code. Where there is
/// nothing to stop (POSIX) it does nothing and succeeds.
int stopSockets();

/// Replaces the socket library's start and stop (tests use this to make them
/// fail). A null pointer restores the system's own.
void setSocketLibrary(SocketLibraryFunction start, SocketLibraryFunction stop);

/// The system's text for a socket error code, or an empty text when the
/// system has none.
std::string socketErrorText(int code);

/// True when the code means the call would have had to wait (nothing pending,
/// or no room in the send buffer).
bool isWouldBlock(int code);

/// True when the code means the connection is gone: not connected, not a
/// socket (closed already), shut down, the peer closed its side (broken pipe)
/// or reset or aborted the connection, or it timed out.
bool isConnectionClosed(int code);

/// A socket listening for connections on host:port (a numeric address or a
/// name; an empty host means every local address). Port "0" lets the system
/// choose; localPort tells which. The address may be reused at once after a
/// previous listener closed. INVALID_SOCKET_HANDLE on failure, with error set.
Socket listenSocket(const std::string& host, const std::string& port, int& error);

/// Takes one pending connection from a listening socket. INVALID_SOCKET_HANDLE
/// on failure, with error set (a would-block code when none is pending).
Socket acceptSocket(Socket server, int& error);

/// A connection to host:port, waiting at most timeout_ms milliseconds for it
/// to be made. INVALID_SOCKET_HANDLE on failure, with error set.
Socket connectSocket(const std::string& host, const std::string& port, int timeout_ms, int& error);

/// Sends what the socket takes now of bytes at data: the count sent, or -1
/// with error set. A peer that has gone never raises a signal.
std::int64_t sendSocket(Socket socket, const char* data, std::size_t bytes, int& error);

/// Reads what is waiting, up to size bytes, into buffer; with peek the bytes
/// stay waiting. The count read, 0 when the peer has closed its side, or -1
/// with error set (a would-block code when nothing is waiting).
std::int64_t receiveSocket(Socket socket, char* buffer, std::size_t size, bool peek, int& error);

/// Closes the socket: 0, or -1 with error set. The handle is released either
/// way and must not be used again.
int closeSocket(Socket socket, int& error);

/// Closes the socket with a reset instead of an orderly end, so that the
/// peer's next call fails as on a reset connection: 0, or -1 with error set.
/// The handle is released either way.
int abortSocket(Socket socket, int& error);

/// The local port the socket is bound to, or -1 when it cannot be read.
int localPort(Socket socket);

}  // namespace ox::platform
