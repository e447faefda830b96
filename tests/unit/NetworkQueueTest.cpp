#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetworkManager.h"
#include "Platform.h"
#include "WorldKit.h"

// A connection's send queue holds at most MAX_QUEUED_BYTES unsent bytes, and
// its byte count follows every partial send, so a peer that stops reading
// cannot grow the game's memory, and the stream stays whole when it reads again.

namespace {

using ox::NetworkManager;

NetworkManager& nm() {
    return NetworkManager::getInstance();
}

TEST(NetworkQueue, AFullQueueRefusesMoreAndDrainsWhole) {
    ox_test::World world(80, 24, 1);
    ASSERT_EQ(nm().startUp(), 0);
    ASSERT_EQ(nm().setServer("0"), 0);
    const int reader = nm().connect("127.0.0.1", std::to_string(nm().getServerPort()));
    ASSERT_EQ(reader, 0);
    for (int frame = 0; frame < 1000 && nm().getNumConnections() < 2; frame++) {
        nm().accept();
        ox::platform::sleepMicroseconds(1000);
    }
    ASSERT_EQ(nm().getNumConnections(), 2);
    const int writer = 1;

    // Eight chunks fill the queue exactly; each is filled with its own number.
    const std::size_t chunk = ox::MAX_QUEUED_BYTES / 8;
    for (int i = 0; i < 8; i++) {
        const std::vector<char> bytes(chunk, static_cast<char>('a' + i));
        ASSERT_EQ(nm().queue(bytes.data(), bytes.size(), writer), 0);
    }
    const std::vector<char> more(chunk, 'z');
    EXPECT_EQ(nm().queue(more.data(), more.size(), writer), -1);
    EXPECT_EQ(nm().queue(more.data(), 1, writer), -1);
    EXPECT_TRUE(world.log().contains(
        "NetworkManager::queue(): Error! Socket 1 has " + std::to_string(ox::MAX_QUEUED_BYTES) +
        " bytes waiting. Unable to queue " + std::to_string(chunk) + " more."));
    EXPECT_EQ(nm().getQueuedBytes(writer), static_cast<std::int64_t>(ox::MAX_QUEUED_BYTES));

    // The reader drains as the writer sends in pieces; the count falls to 0.
    std::string received;
    std::vector<char> buffer(1 << 20);
    for (int frame = 0; frame < 20000 && received.size() < ox::MAX_QUEUED_BYTES; frame++) {
        nm().sendQueued();
        const std::int64_t waiting = nm().getQueuedBytes(writer);
        EXPECT_LE(received.size() + static_cast<std::size_t>(waiting), ox::MAX_QUEUED_BYTES);
        const int got = nm().receive(buffer.data(), buffer.size(), reader);
        ASSERT_GE(got, 0);
        received.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ASSERT_EQ(received.size(), ox::MAX_QUEUED_BYTES);
    EXPECT_EQ(nm().getQueuedBytes(writer), 0);
    EXPECT_EQ(nm().getQueueLength(writer), 0);
    for (int i = 0; i < 8; i++) {
        const std::string part = received.substr(i * chunk, chunk);
        EXPECT_EQ(part.find_first_not_of(static_cast<char>('a' + i)), std::string::npos) << i;
    }

    // Room again: the next chunk is taken.
    EXPECT_EQ(nm().queue(more.data(), more.size(), writer), 0);
    nm().shutDown();
}

}  // namespace
