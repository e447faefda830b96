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
    keyboard.setKey(ox::Keyboard::P);
    keyboard.setKeyboardAction(ox::KEY_DOWN);
    EXPECT_EQ(keyboard.getKey(), 51);
    EXPECT_EQ(keyboard.getKeyboardAction(), 2);

    ox::EventMouse mouse;
    EXPECT_EQ(mouse.getMouseAction(), -1);
    EXPECT_EQ(mouse.getMouseButton(), -1);
    EXPECT_EQ(mouse.getMousePosition(), Vector(0, 0));
    mouse.setMouseAction(ox::MOVED);
    mouse.setMouseButton(ox::Mouse::MIDDLE);
    mouse.setMousePosition(Vector(3, 4));
    EXPECT_EQ(mouse.getMouseAction(), 2);
    EXPECT_EQ(mouse.getMouseButton(), 2);
    EXPECT_EQ(mouse.getMousePosition(), Vector(3, 4));
}

TEST(Events, KeyCodesFollowTheEngineTable) {
    using namespace ox::Keyboard;
    const int expected[][2] = {{SPACE, 0},
                               {RIGHTSHIFT, 23},
                               {F1, 24},
                               {F12, 35},
                               {A, 36},
                               {C, 38},
                               {P, 51},
                               {Q, 52},
                               {V, 57},
                               {X, 59},
                               {Z, 61},
                               {NUM1, 62},
                               {NUM9, 70},
                               {NUM0, 71},
                               {BACKSPACE, 72},
                               {LEFTBRACKET, 74},
                               {RIGHTBRACKET, 75},
                               {UNDEFINED_KEY, -1}};
    for (const auto& pair : expected) {
        EXPECT_EQ(pair[0], pair[1]);
    }
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

TEST(Events, ViewAndPathCarryTheirValues) {
    const ox::EventView replace("Score", 20, false);
    EXPECT_EQ(replace.getTag(), "Score");
    EXPECT_EQ(replace.getValue(), 20);
    EXPECT_FALSE(replace.getDelta());
    EXPECT_TRUE(ox::EventView("Lives", -1, true).getDelta());

    ox::EventPath found;
    ox::Path path;
    path.setWaypoints({Vector(1, 1), Vector(2, 2)});
    found.setPath(path);
    found.setStatus(ox::PATH_FOUND_STATUS);
    path.setWaypoints({});  // the event keeps its own copy
    EXPECT_EQ(found.getPath().toString(), "(1,1)|(2,2)|");
    EXPECT_EQ(found.getStatus(), 2);
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
