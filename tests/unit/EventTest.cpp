#include <gtest/gtest.h>

#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventNetwork.h"
#include "EventOut.h"
#include "EventPath.h"
#include "EventView.h"
#include "LogCapture.h"
#include "WorldKit.h"

namespace {

using ox::Vector;

TEST(Events, EachEngineEventCarriesItsLabel) {
    EXPECT_EQ(ox::EventOut().getType(), "ox-out");
    EXPECT_EQ(ox::EventCollision().getType(), "ox-collision");
    EXPECT_EQ(ox::EventView().getType(), "ox-view");
    EXPECT_EQ(ox::EventKeyboard().getType(), "ox-keyboard");
    EXPECT_EQ(ox::EventMouse().getType(), "ox-mouse");
    EXPECT_EQ(ox::EventNetwork(ox::ACCEPT).getType(), "ox-network");
    EXPECT_EQ(ox::EventPath().getType(), "ox-path");
}

TEST(Events, InputEventsStartUndefined) {
    ox::EventKeyboard keyboard;
    EXPECT_EQ(keyboard.getKey(), -1);
    EXPECT_EQ(keyboard.getKeyboardAction(), -1);
    // The keys the game uses, at their values in the engine's key table.
    using namespace ox::Keyboard;
    EXPECT_EQ(std::vector<int>({P, Q, Z, X, C, V, NUM0, BACKSPACE, LEFTBRACKET}),
              std::vector<int>({51, 52, 61, 59, 38, 57, 71, 72, 74}));

    ox::EventMouse mouse;
    EXPECT_EQ(mouse.getMouseAction(), -1);
    EXPECT_EQ(mouse.getMouseButton(), -1);
    EXPECT_EQ(mouse.getMousePosition(), Vector(0, 0));
}

TEST(Events, NetworkLabelOutsideRangeIsLoggedAndUndefined) {
    ox_test::LogCapture log(0);
    ox::EventNetwork bad(7);
    EXPECT_EQ(bad.getLabel(), -1);
    ox::EventNetwork three(3);
    EXPECT_EQ(three.getLabel(), 3);
    three.setLabel(-2);
    EXPECT_EQ(three.getLabel(), -1);
    ox::EventNetwork close(ox::CLOSE);
    EXPECT_EQ(close.getLabel(), 2);
    EXPECT_EQ(close.getSocketIndex(), -1);
    EXPECT_EQ(close.getBytes(), 0);
    EXPECT_EQ(close.getMessage(), nullptr);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"EventNetwork::setLabel(): Undefined type (7).",
                                        "EventNetwork::setLabel(): Undefined type (-2)."}));
}

TEST(Events, NetworkFamilyOfLabels) {
    for (const char* label :
         {"ox-network", "ox-keyboard-network", "ox-mouse-network", "ox-network-create",
          "ox-custom-network", "ox-network-delete", "ox-network-game-over", "ox-network-sync"}) {
        EXPECT_TRUE(ox::EventNetwork::isNetworkLabel(label)) << label;
    }
    EXPECT_FALSE(ox::EventNetwork::isNetworkLabel("ox-networks"));
    EXPECT_FALSE(ox::EventNetwork::isNetworkLabel("ox-keyboard"));
}

TEST(Events, PathEventKeepsItsOwnCopyOfThePath) {
    ox::EventPath found;
    ox::Path path;
    path.setWaypoints({Vector(1, 1), Vector(2, 2)});
    found.setPath(path);
    path.setWaypoints({});
    EXPECT_EQ(found.getPath().toString(), "(1,1)|(2,2)|");
}

TEST(Events, CollisionNamesTheMoverFirst) {
    ox_test::World world;
    auto* p_mover = new ox_test::Recorder(Vector(1, 1));
    auto* p_still = new ox_test::Recorder(Vector(2, 1));
    const ox::EventCollision collision(p_mover, p_still, Vector(1.5f, 1));
    EXPECT_EQ(collision.getObject1(), p_mover);
    EXPECT_EQ(collision.getObject2(), p_still);
    EXPECT_EQ(collision.getPosition(), Vector(1.5f, 1));
}

}  // namespace
