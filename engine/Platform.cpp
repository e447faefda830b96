#include "Platform.h"

#include "PlatformSystem.h"

// What every system shares: the clock, sleep and socket library that tests may
// replace, in front of each system's own.

namespace ox::platform {

namespace {

TimeSource g_now = system::now;
SleepFunction g_sleep = system::sleep;
SocketLibraryFunction g_start_sockets = system::startSockets;
SocketLibraryFunction g_stop_sockets = system::stopSockets;

}  // namespace

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

}  // namespace ox::platform
