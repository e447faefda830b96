#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EventNetwork.h"
#include "EventStep.h"
#include "GameManager.h"
#include "NetworkManager.h"
#include "Platform.h"
#include "RecordBytes.h"
#include "WorldKit.h"
#include "WorldManager.h"

// Every test talks over real TCP connections on 127.0.0.1, on a port the
// system picks for it, with loops bounded in frames.

namespace {

namespace pf = ox::platform;

ox::NetworkManager& nm() {
    return ox::NetworkManager::getInstance();
}

/// The far end of a connection: a test client, closed on destruction.
struct Peer {
    explicit Peer(int port) {
        fd = pf::connectSocket("127.0.0.1", std::to_string(port), 2000, code);
        EXPECT_NE(fd, pf::INVALID_SOCKET_HANDLE) << pf::socketErrorText(code);
    }
    ~Peer() { drop(); }
    void drop() {
        if (fd != pf::INVALID_SOCKET_HANDLE) {
            pf::closeSocket(fd, code);
        }
        fd = pf::INVALID_SOCKET_HANDLE;
    }
    /// Closes with a reset instead of an orderly close.
    void reset() {
        pf::abortSocket(fd, code);
        fd = pf::INVALID_SOCKET_HANDLE;
    }
    void write(const std::string& text) { pf::sendSocket(fd, text.data(), text.size(), code); }
    /// Reads what is waiting; sets ended when the server has closed its side.
    std::string readNow() {
        std::string text;
        char buffer[65536];
        std::int64_t got;
        while ((got = pf::receiveSocket(fd, buffer, sizeof(buffer), false, code)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        ended = ended || got == 0;
        return text;
    }
    pf::Socket fd = pf::INVALID_SOCKET_HANDLE;
    int code = 0;
    bool ended = false;
};

/// One network event as the listener saw it.
struct Seen {
    int label, index;
    int listed;      ///< connections listed during delivery
    bool connected;  ///< isConnected(index) during delivery
    std::string data;
};

/// Records every "ox-network" event, then runs its reaction.
class Listener : public ox::Object {
public:
    Listener() { registerInterest(ox::NETWORK_EVENT); }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::NETWORK_EVENT) {
            return 0;
        }
        const auto& e = *static_cast<const ox::EventNetwork*>(p_e);
        const bool data = e.getMessage() != nullptr;
        seen.push_back({e.getLabel(), e.getSocketIndex(), nm().getNumConnections(),
                        nm().isConnected(e.getSocketIndex()),
                        data ? std::string(e.getMessage(), e.getBytes()) : ""});
        if (reaction) {
            reaction(e);
        }
        return 1;
    }
    std::vector<int> indexes(int label) const {
        std::vector<int> result;
        for (const Seen& s : seen) {
            if (s.label == label) {
                result.push_back(s.index);
            }
        }
        return result;
    }
    std::vector<Seen> seen;
    std::function<void(const ox::EventNetwork&)> reaction;
};

/// "\t%d - %s" as logged for a system error code.
std::string errorLine(int code) {
    std::string line(1, '\t');
    return line.append(std::to_string(code)).append(" - ").append(pf::socketErrorText(code));
}

/// True when the log holds the error's line, or, where the system has no
/// text for the error, no line at all.
bool errorLogged(const ox_test::LogCapture& log, int code) {
    const std::string line = errorLine(code);
    return pf::socketErrorText(code).empty() ? !log.containsPart(line) : log.contains(line);
}

/// A started manager listening on a port of its own, with a listener.
class Net : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nm().startUp(), 0);
        ASSERT_EQ(nm().setServer("0"), 0);
        port = nm().getServerPort();
        p_listener = new Listener;  // the world manager's shut-down deletes it
    }
    void TearDown() override {
        nm().shutDown();
        // No frame may wait on the network; a second would be real blocking.
        EXPECT_LT(longest, 1000000) << "longest frame in microseconds";
    }
    void frame() {
        const std::int64_t start = pf::nowMicroseconds();
        nm().service();
        longest = std::max(longest, pf::nowMicroseconds() - start);
    }
    /// Runs frames until done, at most the given number.
    bool until(const std::function<bool()>& done, int frames = 3000) {
        for (int i = 0; i < frames; i++) {
            frame();
            if (done()) {
                return true;
            }
            pf::sleepMicroseconds(1000);
        }
        return false;
    }
    Peer& connectPeer() {
        peers.push_back(std::make_unique<Peer>(port));
        return *peers.back();
    }
    bool dataSeen() const { return !p_listener->indexes(ox::DATA).empty(); }

    ox_test::World world{80, 24, 20};
    std::vector<std::unique_ptr<Peer>> peers;
    Listener* p_listener = nullptr;
    int port = 0;
    std::int64_t longest = 0;
};

TEST(NetworkManagerLife, StartFailureRefusalAndLabels) {
    ox_test::World world(80, 24, 5);
    pf::setSocketLibrary([] { return 10091; }, nullptr);
    EXPECT_EQ(nm().startUp(), 1);
    EXPECT_TRUE(
        world.log().contains("NetworkManager::startUp(): Error! WSAStartup() code : 10091"));
    pf::setSocketLibrary(nullptr, nullptr);
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_EQ(nm().accept(), -2);  // not a server
    EXPECT_EQ(nm().getServerPort(), -1);
    // With nobody listening, nothing connects; the system's error is logged.
    int code = 0;
    const pf::Socket closed = pf::listenSocket("127.0.0.1", "0", code);
    const std::string free_port = std::to_string(pf::localPort(closed));
    pf::closeSocket(closed, code);
    EXPECT_EQ(nm().connect("127.0.0.1", free_port), -1);
    pf::connectSocket("127.0.0.1", free_port, 2000, code);  // the system's code for it
    EXPECT_TRUE(errorLogged(world.log(), code)) << code;
    // The network family of labels goes to this manager.
    EXPECT_FALSE(nm().isValid("ox-networks"));
    EXPECT_TRUE(nm().isValid("ox-keyboard-network"));
    // Labels outside the range are refused; the top one is taken.
    EXPECT_EQ(ox::EventNetwork(7).getLabel(), -1);
    EXPECT_EQ(ox::EventNetwork(ox::MAX_NETWORK_LABEL).getLabel(), ox::MAX_NETWORK_LABEL);
    nm().shutDown();
}

TEST_F(Net, ThreeAcceptedAFourthWaitsAndClosesRenumber) {
    for (int i = 0; i < 3; i++) {
        connectPeer();
        EXPECT_EQ(nm().accept(), i);
    }
    connectPeer();
    EXPECT_EQ(nm().accept(), -1);  // at the limit: the fourth stays pending
    EXPECT_EQ(p_listener->indexes(ox::ACCEPT), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(world.log().contains(
        "NetworkManager::accept(): Won't check for new connetions since at max."));
    EXPECT_TRUE(world.log().contains("\tUse NM.setMaxConnections() to change max."));
    EXPECT_EQ(nm().send("x", 1, 3), -1);
    // A receive with no room is refused, and the connection stays open.
    char byte = 0;
    EXPECT_EQ(nm().receive(&byte, 0, 0), -1);
    EXPECT_TRUE(world.log().contains("NetworkManager::receive(): Error! No room to receive into."));
    EXPECT_TRUE(nm().isConnected(0));

    // close(1): one CLOSE event, delivered while the connection is listed;
    // the queues of the others stay with their connections.
    for (int i : {0, 1, 2, 2}) {
        ASSERT_EQ(nm().queue("later", 5, i, 1000), 0);
    }
    const pf::Socket third = nm().getSocket(2);
    p_listener->seen.clear();
    EXPECT_EQ(nm().close(1), 0);
    ASSERT_EQ(p_listener->seen.size(), 1u);
    const auto& [label, index, listed, connected, data] = p_listener->seen[0];
    EXPECT_TRUE(label == ox::CLOSE && index == 1 && listed == 3 && connected);
    EXPECT_EQ(nm().getSocket(1), third);
    EXPECT_EQ(nm().getQueueLength(1), 2);
    EXPECT_TRUE(until([&] { return peers[1]->readNow().empty() && peers[1]->ended; }));

    // The former third connection now talks as index 1; the waiting fourth
    // is taken by the per-frame service now that there is room.
    peers[2]->write("hello");
    ASSERT_TRUE(until([&] { return dataSeen(); }));
    EXPECT_EQ(p_listener->seen.back().index, 1);
    EXPECT_EQ(p_listener->seen.back().data, "hello");
    EXPECT_EQ(p_listener->indexes(ox::ACCEPT), (std::vector<int>{2}));

    // A handler that closes another connection while a close is reporting.
    const pf::Socket second = nm().getSocket(1);
    p_listener->reaction = [](const ox::EventNetwork& e) {
        if (e.getLabel() == ox::CLOSE && e.getSocketIndex() == 0) {
            EXPECT_EQ(nm().close(2), 0);
            EXPECT_EQ(nm().send("x", 1, 2), -1);  // closing: no longer usable
        }
    };
    p_listener->seen.clear();
    EXPECT_EQ(nm().close(0), 0);
    EXPECT_EQ(p_listener->indexes(ox::CLOSE), (std::vector<int>{0, 2}));
    ASSERT_EQ(nm().getNumConnections(), 1);
    EXPECT_EQ(nm().getSocket(0), second);

    // A handle closed behind the manager's back: the error is reported and
    // the connection still leaves the list, with its CLOSE event.
    p_listener->reaction = nullptr;
    int code = 0;
    pf::closeSocket(second, code);
    p_listener->seen.clear();
    EXPECT_EQ(nm().close(0), -1);
    pf::closeSocket(second, code);  // the system's code for a closed handle
    EXPECT_TRUE(errorLogged(world.log(), code)) << code;
    EXPECT_EQ(p_listener->indexes(ox::CLOSE), (std::vector<int>{0}));
    EXPECT_EQ(nm().getNumConnections(), 0);
    EXPECT_EQ(nm().close(0), -1);
}

TEST_F(Net, APeerThatResetsOrHasGoneIsClosedWithoutASignal) {
    // Mid-stream: the server is sending a long stream when the peer resets.
    Peer& peer = connectPeer();
    ASSERT_EQ(nm().accept(), 0);
    const std::string chunk(16384, 'z');
    for (int i = 0; i < 64; i++) {
        ASSERT_EQ(nm().queue(chunk.data(), chunk.size(), 0), 0);
    }
    ASSERT_TRUE(until([&] { return !peer.readNow().empty(); }));
    peer.reset();
    ASSERT_TRUE(until([&] { return nm().getNumConnections() == 0; }, 500));
    EXPECT_EQ(p_listener->indexes(ox::CLOSE), (std::vector<int>{0}));

    // Sending straight at a peer that has closed (and then refused our data)
    // is a broken pipe: the send fails and closes, it never raises a signal.
    Peer& other = connectPeer();
    ASSERT_TRUE(until([&] { return nm().getNumConnections() == 1; }));
    other.drop();
    for (int tries = 0; nm().isConnected(0) && tries < 100; tries++) {
        nm().send(chunk.data(), chunk.size(), 0);
        pf::sleepMicroseconds(1000);
    }
    EXPECT_FALSE(nm().isConnected(-1));
    const std::vector<std::string> lines = world.log().messages();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        int code = 0;
        return std::sscanf(line.c_str(), "\t%d - ", &code) == 1 && line == errorLine(code) &&
               pf::isConnectionClosed(code);
    })) << "no error line of a closed connection";
}

TEST_F(Net, APeerThatNeverReadsGetsEveryByteInOrderOnceItDoes) {
    Peer& peer = connectPeer();
    ASSERT_EQ(nm().accept(), 0);
    // More than the socket takes at once: part goes now, the rest later.
    std::string big(32 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); i++) {
        big[i] = static_cast<char>(i * 7 % 251);
    }
    EXPECT_EQ(nm().send(big.data(), big.size(), 0), -1);
    // What did not go out waits in the queue, and is counted as waiting.
    const std::vector<std::string> lines = world.log().messages();
    int sent = -1;
    for (const std::string& line : lines) {
        std::sscanf(line.c_str(), "NetworkManager::send(): Warning! %d of 33554432 bytes sent.",
                    &sent);
    }
    ASSERT_GT(sent, 0);
    EXPECT_EQ(nm().getQueuedBytes(0), static_cast<std::int64_t>(big.size()) - sent);
    EXPECT_EQ(nm().send("x", 1, 0), -1);  // would cut into the message on the wire
    std::string expected = big;
    for (int i = 0; i < 20; i++) {
        const std::string tail = "tail-" + std::to_string(i);
        ASSERT_EQ(nm().queue(tail.data(), tail.size(), 0), 0);
        expected += tail;
    }
    EXPECT_EQ(nm().getQueuedBytes(0), static_cast<std::int64_t>(expected.size()) - sent);
    for (int i = 0; i < 100; i++) {  // the peer does not read
        frame();
    }
    EXPECT_EQ(nm().getNumConnections(), 1);
    std::string received;
    until([&] { return (received += peer.readNow()).size() >= expected.size(); }, 20000);
    EXPECT_TRUE(received == expected) << received.size() << " of " << expected.size();
    EXPECT_EQ(nm().getQueueLength(0), 0);
    EXPECT_EQ(nm().getQueuedBytes(0), 0);
}

/// Records each step's queue lengths (after queueing three messages in step
/// 2) and ends the game after step 8.
class QueueWatcher : public ox::Object {
public:
    QueueWatcher() { registerInterest(ox::STEP_EVENT); }
    int eventHandler(const ox::Event* p_e) override {
        const int step = static_cast<const ox::EventStep*>(p_e)->getStepCount();
        if (step == 2 && nm().getNumConnections() == 2) {  // accepted in steps 0 and 1
            EXPECT_EQ(nm().queue("A", 1, 0, 6), 0);
            EXPECT_EQ(nm().queue("B", 1, 0, 3), 0);  // due earlier, but behind A
            EXPECT_EQ(nm().queue("C", 1, 1, 4), 0);
        }
        lengths.push_back({nm().getQueueLength(0), nm().getQueueLength(1)});
        ox::GameManager::getInstance().setGameOver(step == 8);
        return 1;
    }
    std::vector<std::vector<int>> lengths;
};

// An object's record crosses the connection in two pieces and is applied
// whole on the far side through the ordinary reader.
TEST_F(Net, AnObjectRecordCrossesAConnectionAndIsAppliedOnTheOtherSide) {
    const int client = nm().connect("127.0.0.1", std::to_string(port));
    ASSERT_EQ(client, 0);
    ASSERT_TRUE(until([] { return nm().getNumConnections() == 2; }));
    EXPECT_EQ(p_listener->indexes(ox::ACCEPT), std::vector<int>{1});  // connecting is not accepting

    auto* p_source = new ox::Object;
    p_source->setType("boat");
    p_source->setPosition(ox::Vector(10.5f, 7.25f));
    p_source->setSolidness(ox::SOFT);
    p_source->setBox(ox::Box(ox::Vector(-1, -1), 3, 2));
    const std::string record = ox_test::record(*p_source, 0);

    auto* p_copy = new ox::Object;
    std::string pending;
    int applied = 0;
    int result = 1;
    unsigned int mask = 0;
    p_listener->reaction = [&](const ox::EventNetwork& e) {
        if (e.getLabel() == ox::DATA && e.getSocketIndex() == 1 &&
            pending.append(e.getMessage(), static_cast<std::size_t>(e.getBytes())).size() ==
                record.size()) {
            result = ox_test::load(*p_copy, pending, &mask);
            applied++;
        }
    };
    const std::size_t half = record.size() / 2;
    ASSERT_EQ(nm().send(record.data(), half, client), 0);
    until([] { return false; }, 50);
    EXPECT_EQ(applied, 0);
    ASSERT_EQ(nm().send(record.data() + half, record.size() - half, client), 0);
    ASSERT_TRUE(until([&] { return applied == 1; }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(mask, 0x3ffffu);
    EXPECT_EQ(p_copy->getId(), p_source->getId());
    EXPECT_EQ(p_copy->getType(), "boat");
    EXPECT_EQ(p_copy->getBox(), p_source->getBox());
    // Applied through the setters, so the world finds the copy where it now is.
    EXPECT_EQ(ox_test::contents(
                  ox::WorldManager::getInstance().getCollisions(p_source, p_source->getPosition())),
              (std::vector<ox::Object*>{p_copy}));
}

// A send queue holds at most MAX_QUEUED_BYTES unsent bytes, and its count
// follows every partial send, so a peer that stops reading cannot grow the
// game's memory, and the stream stays whole when it reads again.
TEST_F(Net, AFullSendQueueRefusesMoreAndDrainsWhole) {
    const int reader = nm().connect("127.0.0.1", std::to_string(port));
    ASSERT_EQ(reader, 0);
    ASSERT_TRUE(until([] { return nm().getNumConnections() == 2; }));
    const int writer = 1;
    // Eight chunks, each of its own letter, fill the queue exactly.
    const std::size_t chunk = ox::MAX_QUEUED_BYTES / 8;
    std::string expected;
    for (int i = 0; i < 8; i++) {
        const std::string bytes(chunk, static_cast<char>('a' + i));
        ASSERT_EQ(nm().queue(bytes.data(), bytes.size(), writer), 0);
        expected += bytes;
    }
    EXPECT_EQ(nm().queue("z", 1, writer), -1);
    EXPECT_EQ(nm().queue(expected.data(), chunk, writer), -1);
    EXPECT_TRUE(world.log().contains(
        "NetworkManager::queue(): Error! Socket 1 has " + std::to_string(ox::MAX_QUEUED_BYTES) +
        " bytes waiting. Unable to queue " + std::to_string(chunk) + " more."));
    EXPECT_EQ(nm().getQueuedBytes(writer), static_cast<std::int64_t>(ox::MAX_QUEUED_BYTES));

    // Read by hand as the writer sends in pieces (the service would read first).
    std::string received;
    std::vector<char> buffer(1 << 20);
    for (int i = 0; i < 20000 && received.size() < ox::MAX_QUEUED_BYTES; i++) {
        nm().sendQueued();
        const std::int64_t waiting = nm().getQueuedBytes(writer);
        EXPECT_LE(received.size() + static_cast<std::size_t>(waiting), ox::MAX_QUEUED_BYTES);
        const int got = nm().receive(buffer.data(), buffer.size(), reader);
        ASSERT_GE(got, 0);
        received.append(buffer.data(), static_cast<std::size_t>(got));
    }
    EXPECT_TRUE(received == expected) << received.size();
    EXPECT_EQ(nm().getQueuedBytes(writer), 0);
    EXPECT_EQ(nm().queue(expected.data(), chunk, writer), 0);  // room again
    // Closing a connection takes its waiting bytes with it; the writer,
    // renumbered, keeps its own.
    ASSERT_EQ(nm().queue("r", 1, reader), 0);
    ASSERT_EQ(nm().close(reader), 0);
    EXPECT_EQ(nm().getQueuedBytes(0), static_cast<std::int64_t>(chunk));
}

TEST(NetworkInTheLoop, StartedServicedAndStoppedInItsPlaceOnlyWhenOn) {
    for (const bool on : {true, false}) {
        ox_test::LogCapture log(1, false);
        ox_test::writeFile("ox-config.txt", std::string("headless:true,\nframe_time:0,\n") +
                                                (on ? "" : "networking:false,\n"));
        ox::GameManager& gm = ox::GameManager::getInstance();
        ASSERT_EQ(gm.startUp(), 0);
        ASSERT_EQ(nm().isStarted(), on);
        if (!on) {  // started by hand: the loop still leaves it alone
            ASSERT_EQ(nm().startUp(), 0);
        }
        ASSERT_EQ(nm().setServer("0"), 0);
        Peer a(nm().getServerPort());
        Peer b(nm().getServerPort());
        auto* p_watcher = new QueueWatcher;
        gm.run();
        // Step s sees the queues as the service of step s-1 left them: one
        // connection accepted per step, C sent in step 4, A in step 6 and B,
        // due since step 3, only right behind it.
        const std::vector<std::vector<int>> expected =
            on ? std::vector<std::vector<int>>{{-1, -1}, {0, -1}, {2, 1}, {2, 1}, {2, 1},
                                               {2, 0},   {2, 0},  {0, 0}, {0, 0}}
               : std::vector<std::vector<int>>(9, {-1, -1});
        EXPECT_EQ(p_watcher->lengths, expected);
        std::string at_a, at_b;
        for (int i = 0; on && i < 1000 && (at_a.size() < 2 || at_b.empty()); i++) {
            at_a += a.readNow();
            at_b += b.readNow();
            pf::sleepMicroseconds(1000);
        }
        EXPECT_EQ(at_a, on ? "AB" : "");
        EXPECT_EQ(at_b, on ? "C" : "");
        gm.shutDown();
        EXPECT_EQ(nm().isStarted(), !on);
        EXPECT_EQ(log.contains("Network manager stopped"), on);
        nm().shutDown();
    }
}

}  // namespace
