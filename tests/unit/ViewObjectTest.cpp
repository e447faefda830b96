// View objects without a window: the nine locations and the border's row,
// positions set directly, view events through the world manager, and drawing
// wherever the view is.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "EventView.h"
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Vector;
using ox::ViewObject;
using ox_test::World;

ox::WorldManager& wm() {
    return ox::WorldManager::getInstance();
}

// Sends a view event through the world manager; the number of takers.
int send(const std::string& tag, int value, bool delta) {
    const ox::EventView event(tag, value, delta);
    return wm().onEvent(&event);
}

TEST(ViewObject, NineLocationsWithAndWithoutBorderAndBadOnesIgnored) {
    World world(90, 30, 1);
    auto* p_v = new ViewObject;
    // x: a sixth, a half, five sixths of 90; y: the border's row kept free.
    const float xs[] = {15, 45, 75};
    const float bordered_ys[] = {1, 15, 28};
    const float bare_ys[] = {0, 14, 29};
    const char* names[] = {"top-left",    "top-center",    "top-right",
                           "center-left", "center-center", "center-right",
                           "bot-left",    "bot-center",    "bot-right"};
    for (int location = 0; location < 9; location++) {
        p_v->setBorder(true);
        p_v->setLocation(location);
        EXPECT_EQ(p_v->getLocation(), location);
        EXPECT_EQ(p_v->getPosition(), Vector(xs[location % 3], bordered_ys[location / 3]))
            << location;
        p_v->setBorder(false);
        EXPECT_EQ(p_v->getPosition(), Vector(xs[location % 3], bare_ys[location / 3])) << location;
        EXPECT_EQ(ox::locationToString(location), names[location]);
    }
    EXPECT_EQ(ox::locationToString(9), "unknown");

    p_v->setModified(0);
    p_v->setLocation(9);
    p_v->setLocation(-1);
    EXPECT_TRUE(world.log().contains(
        "ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
    EXPECT_EQ(p_v->getLocation(), ox::BOTTOM_RIGHT);
    EXPECT_EQ(p_v->getPosition(), Vector(75, 29));
    EXPECT_EQ(p_v->getModified(), 0u);
}

TEST(ViewObject, APositionSetDirectlyIsKeptThroughBorderChanges) {
    World world;
    auto* p_v = new ViewObject;
    p_v->setModified(0);
    // The same position changes nothing, not even the location.
    EXPECT_EQ(p_v->setPosition(Vector(40, 1)), 0);
    EXPECT_EQ(p_v->getLocation(), ox::TOP_CENTER);
    EXPECT_EQ(p_v->getModified(), 0u);

    EXPECT_EQ(p_v->setPosition(Vector(7, 9)), 0);
    EXPECT_EQ(p_v->getLocation(), ox::UNDEFINED_LOCATION);
    EXPECT_EQ(p_v->getModified(), static_cast<unsigned>(ox::POSITION | ox::APPEARANCE));
    p_v->setBorder(false);
    p_v->setBorder(true);
    EXPECT_EQ(p_v->getPosition(), Vector(7, 9));
}

TEST(ViewObject, ViewEventsReachTheTaggedObjectThroughTheWorld) {
    World world;
    auto* p_score = new ViewObject;
    p_score->setViewString("Score");
    p_score->setValue(7);
    auto* p_lives = new ViewObject;
    p_lives->setViewString("Lives");
    p_lives->setValue(3);

    EXPECT_EQ(send("Score", 5, true), 1);
    EXPECT_EQ(p_score->getValue(), 12);
    EXPECT_EQ(send("Score", 5, false), 1);
    EXPECT_EQ(p_score->getValue(), 5);
    // A tag that differs in any character or in length is not this object's.
    for (const char* tag : {"score", "Scor", "Score ", "Scores", ""}) {
        EXPECT_EQ(send(tag, 100, false), 0) << tag;
    }
    EXPECT_EQ(p_score->getValue(), 5);
    EXPECT_EQ(p_lives->getValue(), 3);

    // Adding past the integer range holds the value at its end.
    EXPECT_EQ(send("Lives", INT_MAX - 1, false), 1);
    EXPECT_EQ(send("Lives", 5, true), 1);
    EXPECT_EQ(p_lives->getValue(), INT_MAX);
    EXPECT_EQ(send("Lives", INT_MIN, false), 1);
    EXPECT_EQ(send("Lives", -1, true), 1);
    EXPECT_EQ(p_lives->getValue(), INT_MIN);

    // An inactive view object takes nothing.
    ASSERT_EQ(p_score->setActive(false), 0);
    EXPECT_EQ(send("Score", 1, true), 0);
    EXPECT_EQ(p_score->getValue(), 5);
}

// A view object that counts its draws.
class CountingView : public ViewObject {
public:
    int draw() override {
        draws++;
        return ViewObject::draw();
    }
    int draws = 0;
};

TEST(ViewObject, DrawnWhereverTheViewIs) {
    World world(200, 100);
    auto* p_v = new CountingView;
    EXPECT_EQ(p_v->getAltitude(), ox::MAX_ALTITUDE);  // over every object of the world
    // The view scrolls far from the view object's (40, 1); it is on the
    // screen, not in the world, and still drawn.
    wm().setView(ox::Box(Vector(100, 50), 80, 24));
    wm().draw();
    EXPECT_EQ(p_v->draws, 1);
    // Hidden, it is not drawn.
    ASSERT_EQ(p_v->setVisible(false), 0);
    wm().draw();
    EXPECT_EQ(p_v->draws, 1);
}

}  // namespace
