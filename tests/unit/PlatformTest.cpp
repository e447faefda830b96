// The platform layer through its interface alone, so that the same tests run on
// every system: natively here, and cross-built for Windows under Wine.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "Platform.h"
#include "ScratchDir.h"

namespace {

namespace pf = ox::platform;

TEST(Platform, ClockIsMonotonicInMicrosecondsAndSleepsAtLeastTheTimeAsked) {
    std::int64_t previous = pf::nowMicroseconds();
    for (int i = 0; i < 100000; i++) {
        const std::int64_t now = pf::nowMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    ASSERT_TRUE(pf::requestTimerResolution(1));
    for (const std::int64_t asked : {2500, 20000}) {
        const auto steady_start = std::chrono::steady_clock::now();
        const std::int64_t start = pf::nowMicroseconds();
        pf::sleepMicroseconds(asked);
        const std::int64_t slept = pf::nowMicroseconds() - start;
        const auto steady = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - steady_start);
        EXPECT_GE(slept, asked);
        // Within the span the standard library's clock measured around it (give
        // or take the rounding of two readings), so the unit is right.
        EXPECT_LE(slept, steady.count() + 1);
    }
    pf::sleepMicroseconds(-5);  // returns at once
    EXPECT_TRUE(pf::releaseTimerResolution(1));
}

TEST(Platform, TimeOfDayIsTheCLibrarysLocalTime) {
    const auto seconds = [](int hour, int minute, int second) {
        return (hour * 60 + minute) * 60 + second;
    };
    pf::TimeOfDay time;
    const std::time_t now = std::time(nullptr);
    ASSERT_TRUE(pf::localTimeOfDay(time));
    const std::tm local = *std::localtime(&now);
    // A second may pass between the readings, also over midnight.
    const int apart = seconds(time.hour, time.minute, time.second) -
                      seconds(local.tm_hour, local.tm_min, local.tm_sec);
    EXPECT_TRUE(apart == 0 || apart == 1 || apart == -86399) << apart;
}

TEST(Platform, WorkingDirectoryFitsOrSaysSo) {
    ox_test::ScratchDir dir;
    EXPECT_EQ(pf::workingDirectory(), std::filesystem::canonical(dir.path()).string());
    // Deep enough that the path needs more than the 256-byte buffer.
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 4; i++) {
        deep /= std::string(80, static_cast<char>('a' + i));
    }
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(pf::workingDirectory(), "(full path too long)");
}

// Run on a thread of its own, so that the test runner's thread keeps its
// scheduling whatever happens.
TEST(Platform, RaisedThreadPassesItsPriorityOnAndIsLoweredBack) {
    std::thread([] {
        ASSERT_EQ(pf::callingThreadPriority(), pf::ThreadPriority::NORMAL);
        EXPECT_EQ(pf::raiseCallingThread(pf::ThreadPriority::NORMAL), pf::ThreadPriority::NORMAL);
        const pf::ThreadPriority raised = pf::raiseCallingThread(pf::ThreadPriority::REALTIME);
        EXPECT_EQ(pf::callingThreadPriority(), raised);
        // Where the system grants real time, the audio library's threads,
        // started from a raised thread, must get it too.
        if (raised == pf::ThreadPriority::REALTIME) {
            std::thread([] {
                EXPECT_EQ(pf::callingThreadPriority(), pf::ThreadPriority::REALTIME);
            }).join();
        }
        // A second raise, to a lower priority, is lowered back to the first's start.
        pf::raiseCallingThread(pf::ThreadPriority::RAISED);
        pf::lowerCallingThread();
        EXPECT_EQ(pf::callingThreadPriority(), pf::ThreadPriority::NORMAL);
        pf::lowerCallingThread();  // not raised: nothing happens
        EXPECT_EQ(pf::callingThreadPriority(), pf::ThreadPriority::NORMAL);
    }).join();
}

TEST(Platform, EnvironmentKeepsAValueUnlessToldToReplaceIt) {
    const char* name = "ORVIX_PLATFORM_TEST";
    struct Case {
        const char* value;
        bool replace;
        const char* after;
    };
    for (const Case& c : {Case{"1", true, "1"}, Case{"2", false, "1"}, Case{"3", true, "3"}}) {
        EXPECT_TRUE(pf::setEnvironment(name, c.value, c.replace)) << c.value;
        EXPECT_STREQ(std::getenv(name), c.after) << c.value;
    }
    EXPECT_FALSE(pf::setEnvironment("A=B", "1", true));
}

/// A socket call's failure as the layer reports it.
struct Failure {
    int code;
    /// True when the system has a one-line text for the code.
    bool explained() const {
        const std::string text = pf::socketErrorText(code);
        return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
    }
};

std::ostream& operator<<(std::ostream& out, const Failure& failure) {
    return out << failure.code << " - " << pf::socketErrorText(failure.code);
}

/// Sends the bytes again and again until the send fails other than for a
/// full buffer, at most 4096 times; the failure, or code 0 when none came.
Failure sendUntilFailure(pf::Socket socket, const std::string& bytes) {
    int code = 0;
    for (int i = 0; i < 4096; i++) {
        if (pf::sendSocket(socket, bytes.data(), bytes.size(), code) == -1 &&
            !pf::isWouldBlock(code)) {
            return {code};
        }
        pf::sleepMicroseconds(i % 64 == 63 ? 1000 : 0);
    }
    return {0};
}

/// The server's end of a new connection from a client on the port, taken
/// within two seconds; INVALID_SOCKET_HANDLE on failure, with the code set.
pf::Socket connectAndAccept(pf::Socket server, const std::string& port, pf::Socket& client,
                            int& code) {
    client = pf::connectSocket("127.0.0.1", port, 2000, code);
    pf::Socket accepted = pf::INVALID_SOCKET_HANDLE;
    for (int i = 0;
         i < 2000 && client != pf::INVALID_SOCKET_HANDLE && accepted == pf::INVALID_SOCKET_HANDLE;
         i++) {
        pf::sleepMicroseconds(i > 0 ? 1000 : 0);
        accepted = pf::acceptSocket(server, code);
    }
    return accepted;
}

// Connections over loopback from start to end, every step without waiting:
// nothing to accept, a full send buffer, a peer that resets or closes, a closed
// handle, a taken port and a refused connection. A peer gone and a refusal have
// the system's text everywhere (Wine has none for some other codes, which
// Windows has).
TEST(Platform, LoopbackConnectionFromListenToClose) {
    ASSERT_EQ(pf::startSockets(), 0);
    int code = 0;
    const pf::Socket server = pf::listenSocket("127.0.0.1", "0", code);
    ASSERT_NE(server, pf::INVALID_SOCKET_HANDLE) << Failure{code};
    const std::string port = std::to_string(pf::localPort(server));
    EXPECT_EQ(pf::acceptSocket(server, code), pf::INVALID_SOCKET_HANDLE);
    EXPECT_TRUE(pf::isWouldBlock(code)) << Failure{code};

    pf::Socket client;
    const pf::Socket accepted = connectAndAccept(server, port, client, code);
    ASSERT_NE(accepted, pf::INVALID_SOCKET_HANDLE) << Failure{code};

    // The bytes arrive whole, once: peeking leaves them waiting.
    EXPECT_EQ(pf::sendSocket(client, "hello", 5, code), 5);
    char buffer[16] = {};
    std::int64_t got = -1;
    for (int i = 0; i < 2000 && got == -1; i++) {
        pf::sleepMicroseconds(i > 0 ? 1000 : 0);
        got = pf::receiveSocket(accepted, buffer, sizeof(buffer), true, code);
    }
    ASSERT_EQ(got, 5) << Failure{code};
    EXPECT_EQ(pf::receiveSocket(accepted, buffer, sizeof(buffer), false, code), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(pf::receiveSocket(accepted, buffer, sizeof(buffer), false, code), -1);
    EXPECT_TRUE(pf::isWouldBlock(code)) << Failure{code};

    // A peer that never reads fills the buffers: the send would block. Once
    // the peer has reset, or closed in order, sending fails as a closed
    // connection (and raises no signal).
    const std::string chunk(65536, 'x');
    int sent = 0;
    while (sent < 4096 && pf::sendSocket(accepted, chunk.data(), chunk.size(), code) > 0) {
        sent++;
    }
    EXPECT_TRUE(pf::isWouldBlock(code)) << Failure{code} << " after " << sent << " chunks";
    EXPECT_EQ(pf::abortSocket(client, code), 0) << Failure{code};
    const Failure reset = sendUntilFailure(accepted, chunk);
    EXPECT_TRUE(pf::isConnectionClosed(reset.code) && reset.explained()) << reset;
    pf::Socket leaving;
    const pf::Socket left = connectAndAccept(server, port, leaving, code);
    ASSERT_NE(left, pf::INVALID_SOCKET_HANDLE) << Failure{code};
    EXPECT_EQ(pf::closeSocket(leaving, code), 0) << Failure{code};
    const Failure closed = sendUntilFailure(left, chunk);
    EXPECT_TRUE(pf::isConnectionClosed(closed.code) && closed.explained()) << closed;
    EXPECT_EQ(pf::closeSocket(left, code), 0) << Failure{code};

    // A closed handle is no longer a connection.
    EXPECT_EQ(pf::closeSocket(accepted, code), 0) << Failure{code};
    EXPECT_EQ(pf::sendSocket(accepted, "x", 1, code), -1);
    EXPECT_TRUE(pf::isConnectionClosed(code)) << Failure{code};
    EXPECT_EQ(pf::closeSocket(accepted, code), -1);
    EXPECT_TRUE(pf::isConnectionClosed(code)) << Failure{code};

    // A port in use cannot be listened on again; once closed, nobody answers.
    EXPECT_EQ(pf::listenSocket("127.0.0.1", port, code), pf::INVALID_SOCKET_HANDLE);
    EXPECT_NE(code, 0);
    EXPECT_EQ(pf::closeSocket(server, code), 0) << Failure{code};
    EXPECT_EQ(pf::connectSocket("127.0.0.1", port, 2000, code), pf::INVALID_SOCKET_HANDLE);
    EXPECT_TRUE(code != 0 && !pf::isWouldBlock(code) && Failure{code}.explained()) << Failure{code};
    EXPECT_EQ(pf::stopSockets(), 0);
}

}  // namespace
