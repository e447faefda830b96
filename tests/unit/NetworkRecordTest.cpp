#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "EventNetwork.h"
#include "NetworkManager.h"
#include "Platform.h"
#include "WorldKit.h"
#include "WorldManager.h"

// An object's record crosses a real loopback connection in two pieces and is
// applied on the far side through the ordinary reader. The byte framing (an
// eight-byte length ahead of each record) belongs to the game, not the engine.

namespace {

using ox::NetworkManager;
using ox::Object;
using ox::Vector;

NetworkManager& nm() {
    return NetworkManager::getInstance();
}

/// Eight bytes of a length, least significant first.
std::string lengthPrefix(std::uint64_t length) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; i++) {
        bytes[i] = static_cast<char>((length >> (8 * i)) & 0xff);
    }
    return bytes;
}

/// Gathers what arrives on one connection and applies each whole record to
/// itself as soon as its last byte is in.
class Mirror : public Object {
public:
    explicit Mirror(int sock) : m_sock(sock) { registerInterest(ox::NETWORK_EVENT); }

    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::NETWORK_EVENT) {
            return 0;
        }
        const auto& e = *static_cast<const ox::EventNetwork*>(p_e);
        if (e.getLabel() != ox::DATA || e.getSocketIndex() != m_sock) {
            return 0;
        }
        m_pending.append(e.getMessage(), static_cast<std::size_t>(e.getBytes()));
        applyWholeRecords();
        return 1;
    }

    int applied = 0;        ///< Records read so far.
    int last_result = 1;    ///< The reader's result for the last record.
    unsigned int mask = 0;  ///< The attributes the last record held.

private:
    void applyWholeRecords() {
        while (m_pending.size() >= 8) {
            std::uint64_t length = 0;
            for (int i = 7; i >= 0; i--) {
                length = (length << 8) | static_cast<unsigned char>(m_pending[i]);
            }
            if (m_pending.size() - 8 < length) {
                return;
            }
            std::istringstream record(m_pending.substr(8, length));
            last_result = deserialize(&record, &mask);
            applied++;
            m_pending.erase(0, 8 + length);
        }
    }

    int m_sock;
    std::string m_pending;
};

/// Runs the per-frame service until done, for at most the given frames of
/// about a millisecond each.
template <typename Done>
bool serviceUntil(Done done, int frames = 3000) {
    for (int frame = 0; frame < frames; frame++) {
        nm().service();
        if (done()) {
            return true;
        }
        ox::platform::sleepMicroseconds(1000);
    }
    return false;
}

TEST(NetworkRecord, AnObjectRecordCrossesAConnectionAndIsAppliedOnTheOtherSide) {
    ox_test::World world(80, 24);
    ASSERT_EQ(nm().startUp(), 0);
    ASSERT_EQ(nm().setServer("0"), 0);
    const int client = nm().connect("127.0.0.1", std::to_string(nm().getServerPort()));
    ASSERT_EQ(client, 0);
    ASSERT_TRUE(serviceUntil([] { return nm().getNumConnections() == 2; }));
    const int server_side = 1;

    auto* p_source = new Object;
    p_source->setType("boat");
    p_source->setPosition(Vector(10.5f, 7.25f));
    p_source->setVelocity(Vector(0.5f, -0.25f));
    p_source->setAltitude(3);
    p_source->setSolidness(ox::SOFT);
    p_source->setBox(ox::Box(Vector(-1, -1), 3, 2));
    std::ostringstream os;
    ASSERT_EQ(p_source->serialize(&os), 0);
    const std::string message = lengthPrefix(os.str().size()) + os.str();

    auto* p_mirror = new Mirror(server_side);
    ASSERT_NE(p_mirror->getId(), p_source->getId());

    // The first half arrives alone: nothing is applied from a partial record.
    const std::size_t half = message.size() / 2;
    ASSERT_EQ(nm().send(message.data(), half, client), 0);
    serviceUntil([] { return false; }, 50);
    EXPECT_EQ(p_mirror->applied, 0);

    ASSERT_EQ(nm().send(message.data() + half, message.size() - half, client), 0);
    ASSERT_TRUE(serviceUntil([&] { return p_mirror->applied == 1; }));
    EXPECT_EQ(p_mirror->last_result, 0);
    EXPECT_EQ(p_mirror->mask, 0x3ffffu);

    EXPECT_EQ(p_mirror->getId(), p_source->getId());
    EXPECT_EQ(p_mirror->getType(), "boat");
    EXPECT_EQ(p_mirror->getPosition(), p_source->getPosition());
    // The reader normalizes the direction again, which may move it by an ulp.
    EXPECT_FLOAT_EQ(p_mirror->getDirection().getX(), p_source->getDirection().getX());
    EXPECT_FLOAT_EQ(p_mirror->getDirection().getY(), p_source->getDirection().getY());
    EXPECT_EQ(p_mirror->getSpeed(), p_source->getSpeed());
    EXPECT_EQ(p_mirror->getAltitude(), 3);
    EXPECT_EQ(p_mirror->getSolidness(), ox::SOFT);
    EXPECT_EQ(p_mirror->getBox().getCorner(), p_source->getBox().getCorner());
    EXPECT_EQ(p_mirror->getBox().getHorizontal(), 3);
    EXPECT_EQ(p_mirror->getBox().getVertical(), 2);

    // Applied through the setters, so the world finds the copy where it now is.
    const auto hits = ox::WorldManager::getInstance().getCollisions(p_source, Vector(10.5f, 7.25f));
    bool found = false;
    for (int i = 0; i < hits.getCount(); i++) {
        found = found || hits[i] == p_mirror;
    }
    EXPECT_TRUE(found);
    nm().shutDown();
}

}  // namespace
