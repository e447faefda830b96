#include <gtest/gtest.h>

#include <string>

#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventPath.h"
#include "EventStep.h"
#include "EventView.h"
#include "GameManager.h"
#include "InputManager.h"
#include "Object.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Object;
using ox::Vector;
using ox_test::Recorder;
using ox_test::World;

TEST(Object, DefaultsIdsAndFullModifiedMask) {
    World world;
    auto* p_first = new Object;
    auto* p_second = new Object;
    EXPECT_EQ(p_second->getId(), p_first->getId() + 1);
    EXPECT_EQ(p_first->getType(), "(Undefined)");
    EXPECT_TRUE(p_first->isActive());
    EXPECT_TRUE(p_first->isVisible());
    EXPECT_EQ(p_first->getBox(), Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(p_first->getPosition(), Vector(1, 1));
    EXPECT_EQ(p_first->getVelocity(), Vector(0, 0));
    EXPECT_EQ(p_first->getAltitude(), 2);
    EXPECT_EQ(p_first->getSolidness(), ox::HARD);
    EXPECT_TRUE(p_first->isSolid());
    EXPECT_FALSE(p_first->getNoSoft());
    EXPECT_FALSE(p_first->getAvoidCollisions());
    EXPECT_FALSE(p_first->getFollowPath());
    EXPECT_EQ(p_first->getModified(), 0x3ffffu);
    EXPECT_TRUE(p_first->isInWorld());
}

TEST(Object, RangeChecksLogAndKeepTheOldValue) {
    World world;
    auto* p_o = new Object;
    p_o->setModified(0);
    EXPECT_EQ(p_o->setAltitude(5), -1);
    EXPECT_EQ(p_o->setAltitude(-1), -1);
    EXPECT_EQ(p_o->getAltitude(), 2);
    EXPECT_EQ(p_o->setAltitude(2), 0);
    EXPECT_EQ(p_o->setSolidness(static_cast<ox::Solidness>(3)), -1);
    EXPECT_EQ(p_o->setSolidness(static_cast<ox::Solidness>(-1)), -1);
    EXPECT_EQ(p_o->getSolidness(), ox::HARD);
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_EQ(world.log().messages(),
              (std::vector<std::string>{
                  "Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored.",
                  "Object::setAltitude(): Altitude -1 not in range [0,4].  Ignored.",
                  "Object::setSolidness(): Solidness 3 not one of HARD, SOFT or SPECTRAL.",
                  "Object::setSolidness(): Solidness -1 not one of HARD, SOFT or SPECTRAL."}));
}

TEST(Object, EverySetterMarksItsAttribute) {
    World world;
    auto* p_o = new Object;
    struct Case {
        unsigned int bit;
        std::function<void()> change;
    };
    ox::Path path;
    path.setWaypoints({Vector(5, 5)});
    const Case cases[] = {
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
    };
    for (const Case& c : cases) {
        p_o->setModified(0);
        c.change();
        EXPECT_EQ(p_o->getModified(), c.bit) << std::hex << c.bit;
        EXPECT_TRUE(p_o->isModified());
    }
    // Setting what is already there marks nothing.
    p_o->setModified(0);
    p_o->setPosition(Vector(3, 3));
    p_o->setActive(true);
    p_o->setVisible(false);
    p_o->setBox(Box(Vector(0, 0), 2, 2));
    p_o->setSolidness(ox::SOFT);
    EXPECT_FALSE(p_o->isModified());
}

TEST(Object, VelocityIsSpeedAlongANormalizedDirection) {
    World world;
    auto* p_o = new Object;
    p_o->setVelocity(Vector(3, 4));
    EXPECT_FLOAT_EQ(p_o->getSpeed(), 5.0f);
    EXPECT_FLOAT_EQ(p_o->getDirection().getX(), 0.6f);
    EXPECT_FLOAT_EQ(p_o->getDirection().getY(), 0.8f);
    EXPECT_FLOAT_EQ(p_o->getVelocity().getX(), 3.0f);
    EXPECT_FLOAT_EQ(p_o->getVelocity().getY(), 4.0f);
    EXPECT_FLOAT_EQ(p_o->predictPosition().getX(), 4.0f);
    EXPECT_FLOAT_EQ(p_o->predictPosition().getY(), 5.0f);

    p_o->setDirection(Vector(0, -10));
    EXPECT_EQ(p_o->getDirection(), Vector(0, -1));
    p_o->setVelocity(Vector(0, 0));
    EXPECT_EQ(p_o->getSpeed(), 0.0f);
    EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
}

TEST(Object, AccelerationChangesVelocityAfterEachStep) {
    World world;
    auto* p_o = new Object;
    p_o->setSolidness(ox::SPECTRAL);
    p_o->setPosition(Vector(10, 10));
    p_o->setAcceleration(Vector(0, 0.5f));
    p_o->accelerate();
    EXPECT_EQ(p_o->getVelocity(), Vector(0, 0.5f));
    ox::WorldManager::getInstance().update();  // moves 0.5, then speeds up to 1
    EXPECT_EQ(p_o->getPosition(), Vector(10, 10.5f));
    EXPECT_EQ(p_o->getVelocity(), Vector(0, 1));
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(p_o->getPosition(), Vector(10, 11.5f));
}

TEST(Object, InterestsAreRoutedByLabel) {
    World world(80, 24, 1);
    auto* p_o = new Recorder;
    EXPECT_EQ(p_o->registerInterest("ox-step"), 0);
    EXPECT_EQ(p_o->registerInterest("ox-view"), 0);
    EXPECT_EQ(p_o->registerInterest("my-game-event"), 0);
    EXPECT_EQ(p_o->registerInterest("ox-keyboard"), 0);
    EXPECT_EQ(p_o->registerInterest("ox-mouse"), 0);
    // Labels sent without registration.
    EXPECT_EQ(p_o->registerInterest("ox-collision"), -1);
    EXPECT_EQ(p_o->getEventCount(), 5);
    EXPECT_TRUE(
        world.log().contains("WorldManager::isValid(): Event ox-collision handled automatically."));
    EXPECT_TRUE(
        world.log().contains("Manager(WorldManager)::registerInterest(): Event 'ox-collision' not "
                             "valid for this Manager"));

    // The step goes through the game manager, keyboard and mouse through the
    // input manager, the others through the world manager.
    const ox::EventStep step(4);
    EXPECT_EQ(ox::GameManager::getInstance().onEvent(&step), 1);
    const ox::EventView view("Score", 1, true);
    EXPECT_EQ(ox::WorldManager::getInstance().onEvent(&view), 1);
    ox::Event custom;
    custom.setType("my-game-event");
    EXPECT_EQ(ox::WorldManager::getInstance().onEvent(&custom), 1);
    EXPECT_EQ(ox::WorldManager::getInstance().onEvent(&step), 0);
    const ox::EventKeyboard keyboard;
    EXPECT_EQ(ox::InputManager::getInstance().onEvent(&keyboard), 1);
    EXPECT_EQ(ox::WorldManager::getInstance().onEvent(&keyboard), 0);
    const ox::EventMouse mouse;
    EXPECT_EQ(ox::InputManager::getInstance().onEvent(&mouse), 1);
    EXPECT_EQ(ox_test::journal(),
              (std::vector<ox_test::Delivery>{ox_test::plainDelivery(p_o->getId(), "ox-step"),
                                              ox_test::plainDelivery(p_o->getId(), "ox-view"),
                                              ox_test::plainDelivery(p_o->getId(), "my-game-event"),
                                              ox_test::plainDelivery(p_o->getId(), "ox-keyboard"),
                                              ox_test::plainDelivery(p_o->getId(), "ox-mouse")}));
}

TEST(Object, AtMostOneHundredInterestsAndOrderKeptOnUnregister) {
    World world;
    auto* p_o = new Object;
    for (int i = 0; i < 100; i++) {
        ASSERT_EQ(p_o->registerInterest("label-" + std::to_string(i)), 0);
    }
    EXPECT_EQ(p_o->registerInterest("one-too-many"), -1);
    EXPECT_EQ(p_o->getEventCount(), 100);
    EXPECT_TRUE(world.log().contains(
        "Object::registerInterest(): maximum (100) reached, cannot register for event "
        "'one-too-many'"));

    EXPECT_EQ(p_o->unregisterInterest("label-1"), 0);
    EXPECT_EQ(p_o->getEventCount(), 99);
    EXPECT_EQ(p_o->getEventName(0), "label-0");
    EXPECT_EQ(p_o->getEventName(1), "label-2");
    EXPECT_EQ(p_o->getEventName(98), "label-99");
    EXPECT_EQ(p_o->getEventName(99), "");
    EXPECT_EQ(p_o->registerInterest("one-more"), 0);
    EXPECT_EQ(p_o->getEventName(99), "one-more");

    EXPECT_EQ(p_o->unregisterInterest("never-registered"), -1);
    EXPECT_TRUE(world.log().contains(
        "Object::unregisterInterest(): event 'never-registered' not previously registered"));
    EXPECT_EQ(p_o->getEventCount(), 100);
}

TEST(Object, DeletedObjectsNoLongerReceiveEvents) {
    World world;
    auto* p_gone = new Recorder;
    auto* p_stays = new Recorder;
    p_gone->registerInterest("ping");
    p_stays->registerInterest("ping");
    p_gone->registerInterest("ox-step");
    ox::WorldManager::getInstance().markForDelete(p_gone);
    ox::WorldManager::getInstance().update();
    ox::Event ping;
    ping.setType("ping");
    EXPECT_EQ(ox::WorldManager::getInstance().onEvent(&ping), 1);
    const ox::EventStep step;
    EXPECT_EQ(ox::GameManager::getInstance().onEvent(&step), 0);
}

TEST(Object, FollowsAPathSnappingOntoNearWaypoints) {
    World world;
    auto* p_o = new Object;
    p_o->setSolidness(ox::SPECTRAL);
    p_o->setPosition(Vector(10, 10));
    p_o->setSpeed(1);
    ox::Path path;
    // 0.7 away: within three quarters of a step, snapped onto at once; the
    // next one is 0.78 away: only steered toward.
    path.setWaypoints({Vector(10.7f, 10), Vector(10.7f, 10.78f), Vector(10.7f, 13)});
    p_o->setPath(path);
    p_o->setFollowPath(true);
    EXPECT_EQ(p_o->getDirection(), Vector(1, 0));
    p_o->followPath();
    EXPECT_EQ(p_o->getPosition(), Vector(10.7f, 10));
    EXPECT_EQ(p_o->getPath().getIndex(), 1);
    EXPECT_EQ(p_o->getDirection(), Vector(0, 1));

    // The world moves it 1 down (to 11, past the second waypoint by 0.22,
    // which is then snapped onto), and it heads for the third.
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(p_o->getPosition(), Vector(10.7f, 10.78f));
    EXPECT_EQ(p_o->getPath().getIndex(), 2);
    EXPECT_TRUE(p_o->getFollowPath());
    for (int i = 0; i < 3; i++) {
        ox::WorldManager::getInstance().update();
    }
    EXPECT_EQ(p_o->getPosition(), Vector(10.7f, 13));
    EXPECT_TRUE(p_o->getPath().isDone());
    EXPECT_FALSE(p_o->getFollowPath());
    EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
}

TEST(Object, PathEventsStartFollowingWhenAPathWasFound) {
    World world(80, 24, 0);
    auto* p_o = new Object;
    ox::Path path;
    path.setWaypoints({Vector(1, 5)});
    ox::EventPath failed;
    failed.setStatus(1);
    failed.setPath(path);
    EXPECT_EQ(p_o->eventHandler(&failed), 1);
    EXPECT_FALSE(p_o->getFollowPath());
    EXPECT_EQ(p_o->getPath().getCount(), 0);

    ox::EventPath found;
    found.setStatus(ox::PATH_FOUND_STATUS);
    found.setPath(path);
    EXPECT_EQ(p_o->eventHandler(&found), 1);
    EXPECT_TRUE(p_o->getFollowPath());
    EXPECT_EQ(p_o->getPath().toString(), "(1,5)|");
    EXPECT_EQ(p_o->getDirection(), Vector(0, 1));

    // A plain event that claims the path label, and events of other labels.
    ox::Event impostor;
    impostor.setType("ox-path");
    EXPECT_EQ(p_o->eventHandler(&impostor), 0);
    EXPECT_TRUE(
        world.log().contains("Object::eventHandler(): Error! Dynamic cast to EventPath failed."));
    const ox::EventStep step;
    EXPECT_EQ(p_o->eventHandler(&step), 0);
}

TEST(Object, AnObjectMadeBeforeTheWorldStaysOutsideIt) {
    ox_test::LogCapture log(2);
    auto* p_outside = new Recorder(Vector(5, 5));
    EXPECT_FALSE(p_outside->isInWorld());
    EXPECT_TRUE(log.contains("WorldManager::insertObject(): Warning! Not adding Object " +
                             std::to_string(p_outside->getId())));
    EXPECT_TRUE(log.contains("                              because WorldManager not started."));
    EXPECT_TRUE(log.containsPart("Object::Object(): Error! Unable to add"));

    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    ASSERT_EQ(world_manager.startUp(), 0);
    world_manager.setBoundary(Box(Vector(0, 0), 80, 24));
    // Its setters leave the world's lists alone, so the world never moves,
    // draws or deletes it.
    EXPECT_EQ(p_outside->setActive(false), 0);
    EXPECT_EQ(p_outside->setActive(true), 0);
    p_outside->setType("Outsider");
    p_outside->setPosition(Vector(6, 6));
    EXPECT_EQ(world_manager.getSceneGraph().activeObjects().getCount(), 0);
    EXPECT_EQ(world_manager.getSceneGraph().inactiveObjects().getCount(), 0);
    EXPECT_EQ(world_manager.getSceneGraph().objectsOfType("Outsider").getCount(), 0);
    EXPECT_EQ(world_manager.markForDelete(p_outside), -1);
    auto* p_inside = new Recorder(Vector(6, 6));
    EXPECT_EQ(world_manager.getCollisions(p_inside, Vector(6, 6)).getCount(), 0);
    world_manager.setViewFollowing(p_outside);

    const int destroyed = Recorder::destroyed();
    world_manager.shutDown();
    EXPECT_EQ(Recorder::destroyed(), destroyed + 1);
    delete p_outside;
    EXPECT_EQ(world_manager.getViewFollowing(), nullptr);
}

}  // namespace
