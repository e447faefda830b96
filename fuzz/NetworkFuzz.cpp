// libFuzzer target of the network path: arbitrary bytes from a peer over a
// real loopback TCP connection, read by the network manager's per-frame
// service and gathered by a handler that applies object records, as a game
// would. The game's messages are a 32-bit little-endian length and that many
// bytes of an object record; a length above MAX_MESSAGE_BYTES closes the
// connection. Every connection has an object of its own that its records are
// applied to, deleted through the world when the connection closes.
//
// An input is one connection: the first byte says how the peer writes (bits
// 0-6: piece size, 1 + 8 x value bytes; bit 7: reset instead of an orderly
// close at the end), the rest is what it writes. After each piece the game
// runs frames until the bytes have arrived or the game closed the connection.
// Findings: a crash or sanitizer report, a frame that blocks,
// bytes that never arrive, and the handler holding more than its cap.
// Built and run as the README's fuzzing section shows.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "Box.h"
#include "EventNetwork.h"
#include "FuzzWorld.h"
#include "LogManager.h"
#include "NetworkManager.h"
#include "Object.h"
#include "Platform.h"
#include "Vector.h"
#include "WorldManager.h"

namespace {

namespace pf = ox::platform;

/// Longest record the game takes; a longer length closes the connection.
constexpr std::uint32_t MAX_MESSAGE_BYTES = 64 * 1024;
/// Most bytes the handler may hold: an unfinished message and one read.
constexpr std::size_t MAX_PENDING_BYTES = 4 + MAX_MESSAGE_BYTES + ox::RECEIVE_BUFFER_SIZE;
/// Longest a frame may take, and longest the game may wait for sent bytes.
/// The peer runs in the game's thread, so a frame that waits on the network
/// waits for good: the limits only need to stand clear of a busy machine's
/// stalls (a limit of a second was once passed on a machine loaded ten deep).
constexpr std::int64_t FRAME_LIMIT_US = 10000000;
constexpr std::int64_t ARRIVAL_LIMIT_US = 10000000;

int server_port = 0;

[[noreturn]] void fail(const char* what) {
    fuzz::fail("NetworkFuzz", what);
}

ox::NetworkManager& nm() {
    return ox::NetworkManager::getInstance();
}

/// The game's side: gathers each connection's bytes into messages and applies
/// each message's record to the connection's object.
class RecordReceiver : public ox::Object {
public:
    RecordReceiver() { registerInterest(ox::NETWORK_EVENT); }

    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::NETWORK_EVENT) {
            return 0;
        }
        const auto& e = *static_cast<const ox::EventNetwork*>(p_e);
        if (e.getLabel() == ox::ACCEPT) {
            m_pending.clear();
            m_p_mirror = new ox::Object;
        } else if (e.getLabel() == ox::CLOSE) {
            m_closed = true;
            ox::WorldManager::getInstance().markForDelete(m_p_mirror);
            m_p_mirror = nullptr;
        } else if (e.getLabel() == ox::DATA && e.getMessage() != nullptr) {
            m_received += static_cast<std::size_t>(e.getBytes());
            m_pending.append(e.getMessage(), static_cast<std::size_t>(e.getBytes()));
            gather(e.getSocketIndex());
        }
        return 1;
    }

    std::size_t m_received = 0;  ///< Bytes of the current connection.
    std::size_t m_largest = 0;   ///< Most bytes held at once on the connection.
    bool m_closed = false;       ///< The current connection has closed.
    int m_applied = 0;           ///< Records applied without error.
    ox::Object* m_p_mirror = nullptr;

private:
    /// Applies every whole message held; closes the connection on a length
    /// above the cap.
    void gather(int sock) {
        m_largest = std::max(m_largest, m_pending.size());
        while (m_pending.size() >= 4) {
            std::uint32_t length = 0;
            for (int i = 3; i >= 0; i--) {
                length = (length << 8) | static_cast<unsigned char>(m_pending[i]);
            }
            if (length > MAX_MESSAGE_BYTES) {
                m_pending.clear();
                nm().close(sock);
                return;
            }
            if (m_pending.size() < 4 + length) {
                return;
            }
            std::istringstream record(m_pending.substr(4, length), std::ios::in | std::ios::binary);
            m_applied += m_p_mirror->deserialize(&record) == 0 ? 1 : 0;
            m_pending.erase(0, 4 + length);
        }
    }

    std::string m_pending;  ///< Bytes not yet part of an applied message.
};

RecordReceiver* p_receiver = nullptr;

/// One frame of the game: the network service and the world's update.
void frame() {
    const std::int64_t start = pf::nowMicroseconds();
    nm().service();
    ox::WorldManager::getInstance().update();
    if (pf::nowMicroseconds() - start > FRAME_LIMIT_US) {
        fail("A frame blocked.");
    }
}

/// Runs frames until done, failing when it takes longer than the limit.
void frameUntil(const std::function<bool()>& done, const char* what) {
    const std::int64_t start = pf::nowMicroseconds();
    for (int frames = 0; !done(); frames++) {
        if (pf::nowMicroseconds() - start > ARRIVAL_LIMIT_US) {
            fail(what);
        }
        if (frames > 0) {
            pf::sleepMicroseconds(50);
        }
        frame();
    }
}

/// Connects a peer and lets the game accept it; the peer's socket.
pf::Socket connectPeer() {
    int code = 0;
    const pf::Socket peer = pf::connectSocket("127.0.0.1", std::to_string(server_port), 2000, code);
    if (peer == pf::INVALID_SOCKET_HANDLE) {
        fail("The peer cannot connect.");
    }
    p_receiver->m_received = 0;
    p_receiver->m_largest = 0;
    p_receiver->m_closed = false;
    frameUntil([] { return nm().getNumConnections() == 1; }, "The game never accepted.");
    return peer;
}

/// Writes the bytes in pieces of piece bytes, each given the frames to arrive;
/// stops early when the game closes the connection.
void writeInPieces(pf::Socket peer, const std::string& bytes, std::size_t piece) {
    std::size_t sent = 0;
    while (sent < bytes.size() && !p_receiver->m_closed) {
        int code = 0;
        const std::int64_t taken =
            pf::sendSocket(peer, bytes.data() + sent, std::min(piece, bytes.size() - sent), code);
        if (taken <= 0) {
            fail("The peer cannot write.");
        }
        sent += static_cast<std::size_t>(taken);
        frameUntil([&] { return p_receiver->m_received == sent || p_receiver->m_closed; },
                   "Sent bytes never arrived.");
    }
}

/// Closes the peer, with a reset or in order, and waits for the game to see it.
void closePeer(pf::Socket peer, bool reset) {
    int code = 0;
    reset ? pf::abortSocket(peer, code) : pf::closeSocket(peer, code);
    frameUntil([] { return nm().getNumConnections() == 0; }, "The game never saw the close.");
    frame();  // deletes the connection's object
}

/// Plays one connection: the peer writes the bytes, then closes.
void playConnection(const std::string& bytes, std::uint8_t how) {
    const pf::Socket peer = connectPeer();
    writeInPieces(peer, bytes, 1 + 8 * static_cast<std::size_t>(how & 0x7f));
    closePeer(peer, (how & 0x80) != 0);
    if (p_receiver->m_largest > MAX_PENDING_BYTES) {
        fail("The handler held more than its cap.");
    }
}

/// Fails loudly unless a record the engine wrote crosses the connection and
/// is applied.
void checkReachesParsers() {
    ox::Object source;
    source.setType("Probe");
    std::ostringstream out(std::ios::out | std::ios::binary);
    source.serialize(&out, ox::TYPE);
    const std::string record = out.str();
    std::string message(4, '\0');
    for (int i = 0; i < 4; i++) {
        message[i] = static_cast<char>((record.size() >> (8 * i)) & 0xff);
    }
    playConnection(message + record, 2);
    if (p_receiver->m_applied != 1) {
        fail("A record the engine wrote was not applied.");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startWorld();
    if (nm().startUp() != 0 || nm().setServer("0") != 0) {
        fail("The network manager did not start.");
    }
    nm().setMaxConnections(1);
    server_port = nm().getServerPort();
    p_receiver = new RecordReceiver;  // the world owns it
    checkReachesParsers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    playConnection(std::string(reinterpret_cast<const char*>(data + 1), size - 1), data[0]);
    return 0;
}
