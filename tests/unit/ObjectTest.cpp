#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "EventStep.h"
#include "GameManager.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Object;
using ox::Vector;
using ox_test::Recorder;
using ox_test::World;

ox::WorldManager& wm() {
    return ox::WorldManager::getInstance();
}

TEST(Object, SettersMarkTheirAttributeAndRefuseBadValues) {
    World world;
    auto* p_o = new Object;
    ox::Path path;
    path.setWaypoints({Vector(5, 5)});
    const struct {
        unsigned int bit;
        std::function<void()> change;
    } cases[] = {
        {ox::ACTIVE, [&] { p_o->setActive(false); }},
        {ox::ACTIVE, [&] { p_o->setActive(true); }},
        {ox::VISIBLE, [&] { p_o->setVisible(false); }},
        {ox::EVENTS, [&] { p_o->registerInterest("custom"); }},
        {ox::BOX, [&] { p_o->setBox(Box(Vector(0, 0), 2, 2)); }},
        {ox::POSITION, [&] { p_o->setPosition(Vector(3, 3)); }},
        {ox::TYPE, [&] { p_o->setType("Thing"); }},
        {ox::ALTITUDE, [&] { p_o->setAltitude(4); }},
        {ox::SOLIDNESS, [&] { p_o->setSolidness(ox::SOFT); }},
        {ox::NO_SOFT, [&] { p_o->setNoSoft(); }},
        {ox::SPEED, [&] { p_o->setSpeed(0.5f); }},
        {ox::DIRECTION, [&] { p_o->setDirection(Vector(0, 2)); }},
        {ox::DIRECTION | ox::SPEED, [&] { p_o->setVelocity(Vector(1, 0)); }},
        {ox::ACCELERATION, [&] { p_o->setAcceleration(Vector(0, 0.1f)); }},
        {ox::PATH, [&] { p_o->setPath(path); }},
        {ox::FOLLOW_PATH | ox::DIRECTION, [&] { p_o->setFollowPath(); }},
        {ox::AVOID_COLLISIONS, [&] { p_o->setAvoidCollisions(); }},
        // Setting what is already there, or what is out of range, marks nothing.
        {0, [&] { p_o->setPosition(Vector(3, 3)); }},
        {0, [&] { p_o->setBox(Box(Vector(0, 0), 2, 2)); }},
        {0, [&] { EXPECT_EQ(p_o->setAltitude(5), -1); }},
        {0, [&] { EXPECT_EQ(p_o->setSolidness(static_cast<ox::Solidness>(3)), -1); }},
    };
    for (const auto& c : cases) {
        p_o->setModified(0);
        c.change();
        EXPECT_EQ(p_o->getModified(), c.bit) << std::hex << c.bit;
    }
    EXPECT_EQ(p_o->getAltitude(), 4);
    EXPECT_EQ(p_o->getSolidness(), ox::SOFT);
    EXPECT_TRUE(
        world.log().contains("Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."));
}

TEST(Object, InterestsAreRoutedByLabelCappedAndDroppedWithTheObject) {
    World world(80, 24, 1);
    auto* p_o = new Recorder;
    EXPECT_EQ(p_o->registerInterest("ox-step"), 0);
    EXPECT_EQ(p_o->registerInterest("ox-collision"), -1);  // sent without registration
    // The step goes through the game manager, not the world manager.
    const ox::EventStep step(4);
    EXPECT_EQ(wm().onEvent(&step), 0);
    EXPECT_EQ(ox::GameManager::getInstance().onEvent(&step), 1);
    // At most 100 interests; unregistering keeps the order of the rest.
    for (int i = 1; i < 100; i++) {
        ASSERT_EQ(p_o->registerInterest("label-" + std::to_string(i)), 0);
    }
    EXPECT_EQ(p_o->registerInterest("one-too-many"), -1);
    EXPECT_EQ(p_o->unregisterInterest("label-1"), 0);
    EXPECT_EQ(p_o->unregisterInterest("never-registered"), -1);
    EXPECT_EQ(p_o->getEventName(1), "label-2");
    EXPECT_EQ(p_o->getEventName(98), "label-99");
    EXPECT_EQ(p_o->registerInterest("one-more"), 0);
    EXPECT_EQ(p_o->getEventName(99), "one-more");
    // A plain event that claims the path label is refused, not cast.
    ox::Event impostor;
    impostor.setType("ox-path");
    EXPECT_EQ(p_o->Object::eventHandler(&impostor), 0);
    EXPECT_TRUE(
        world.log().contains("Object::eventHandler(): Error! Dynamic cast to EventPath failed."));

    // Once deleted, it hears nothing from either manager.
    auto* p_stays = new Recorder;
    p_stays->registerInterest("one-more");
    wm().markForDelete(p_o);
    wm().update();
    impostor.setType("one-more");
    EXPECT_EQ(wm().onEvent(&impostor), 1);
    EXPECT_EQ(ox::GameManager::getInstance().onEvent(&step), 0);
}

TEST(Object, AnObjectMadeBeforeTheWorldStaysOutsideIt) {
    ox_test::LogCapture log(2);
    auto* p_outside = new Recorder(Vector(5, 5));
    EXPECT_FALSE(p_outside->isInWorld());
    EXPECT_TRUE(log.containsPart("Object::Object(): Error! Unable to add"));
    ASSERT_EQ(wm().startUp(), 0);
    wm().setBoundary(Box(Vector(0, 0), 80, 24));
    // Its setters leave the world's lists alone, so the world never moves,
    // draws or deletes it.
    p_outside->setActive(false);
    p_outside->setActive(true);
    p_outside->setType("Outsider");
    p_outside->setPosition(Vector(6, 6));
    EXPECT_TRUE(wm().getSceneGraph().activeObjects().isEmpty());
    EXPECT_TRUE(wm().getSceneGraph().inactiveObjects().isEmpty());
    EXPECT_TRUE(wm().getSceneGraph().objectsOfType("Outsider").isEmpty());
    EXPECT_EQ(wm().markForDelete(p_outside), -1);
    auto* p_inside = new Recorder(Vector(6, 6));
    EXPECT_TRUE(wm().getCollisions(p_inside, Vector(6, 6)).isEmpty());
    wm().setViewFollowing(p_outside);

    const int destroyed = Recorder::destroyed();
    wm().shutDown();
    EXPECT_EQ(Recorder::destroyed(), destroyed + 1);
    delete p_outside;
    EXPECT_EQ(wm().getViewFollowing(), nullptr);
}

}  // namespace
