#include "Platform.h"

#include <cerrno>
#include <ctime>

#if defined(_WIN32)
#error "Orvix: this platform layer has only a POSIX implementation so far."
#else
#include <unistd.h>
#endif

namespace ox::platform {

namespace {

std::int64_t systemNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void systemSleep(std::int64_t microseconds) {
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

TimeSource g_now = systemNow;
SleepFunction g_sleep = systemSleep;

}  // namespace

std::int64_t nowMicroseconds() {
    return g_now();
}

void sleepMicroseconds(std::int64_t microseconds) {
    g_sleep(microseconds);
}

void setTimeSource(TimeSource now, SleepFunction sleep) {
    g_now = now ? now : systemNow;
    g_sleep = sleep ? sleep : systemSleep;
}

bool requestTimerResolution(int) {
    // POSIX sleeps already have sub-millisecond resolution: nothing to ask.
    return true;
}

bool releaseTimerResolution(int) {
    return true;
}

std::string workingDirectory() {
    char buffer[WORKING_DIRECTORY_BUFFER];
    if (getcwd(buffer, sizeof(buffer)) == nullptr) {
        return "(full path too long)";
    }
    return buffer;
}

}  // namespace ox::platform
