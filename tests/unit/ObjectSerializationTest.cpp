// Object records: what attr 0 and a chosen mask write, byte for byte, the
// log lines at levels 20 and 25, ids raising the counter, records cut short,
// full round trips that move the reader between the scene graph's lists, and
// hostile lengths and counts refused with the object left whole in the world.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "Object.h"
#include "ObjectList.h"
#include "RecordBytes.h"
#include "ResourceManager.h"
#include "SceneGraph.h"
#include "ScratchDir.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Object;
using ox::Vector;
using ox_test::f32;
using ox_test::flag;
using ox_test::le32;
using ox_test::le64;
using ox_test::load;
using ox_test::record;
using ox_test::str;
using ox_test::vec;
using ox_test::World;

ox::SceneGraph& graph() {
    return ox::WorldManager::getInstance().getSceneGraph();
}

bool holds(const ox::ObjectList& list, const Object* p_o) {
    const std::vector<Object*> objects = ox_test::contents(list);
    return std::find(objects.begin(), objects.end(), p_o) != objects.end();
}

// The lists an object belongs in follow its attributes exactly.
void expectIndexed(const Object* p_o) {
    EXPECT_EQ(holds(graph().activeObjects(), p_o), p_o->isActive());
    EXPECT_EQ(holds(graph().inactiveObjects(), p_o), !p_o->isActive());
    EXPECT_EQ(holds(graph().solidObjects(), p_o), p_o->isActive() && p_o->isSolid());
    for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
        EXPECT_EQ(holds(graph().visibleObjects(altitude), p_o),
                  p_o->isActive() && p_o->isVisible() && p_o->getAltitude() == altitude);
    }
    EXPECT_EQ(holds(graph().objectsOfType(p_o->getType()), p_o), p_o->isActive());
}

// Loads a sprite of three frames of 4 x 2 cells under the label "boat".
void loadBoat() {
    ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
    ox_test::writeFile("boat.txt", "3\n4\n2\n2\nblue\naaaa\naaaa\nbbbb\nbbbb\ncccc\ncccc\n");
    ASSERT_EQ(ox::ResourceManager::getInstance().loadSprite("boat.txt", "boat"), 0);
}

TEST(ObjectSerialization, NewObjectWritesEveryAttributeInOrderThenOnlyTheMask) {
    World world(80, 24, 25);
    auto* p_o = new Object;
    p_o->setVelocity(Vector(3, 4));
    p_o->setFollowPath(true);
    p_o->setModified(ox::ALL_OBJECT_ATTRIBUTES);
    const ox::Shape shape = p_o->getShape();

    // DIRECTION before SPEED, FOLLOW_PATH before PATH.
    const std::string expected =
        le32(0x3ffff) + le32(static_cast<std::uint32_t>(p_o->getId())) + flag(true) + flag(true) +
        le32(0) + vec(-0.5f, -0.5f) + f32(0.99f) + f32(0.99f) + vec(1, 1) + str("(Undefined)") +
        str("") + le32(0) + le32(0) + le32(0) + le32(2) + le32(ox::HARD) + flag(false) +
        vec(0.6f, 0.8f) + f32(5) + vec(0, 0) + le32(0xffffffff) + f32(shape.getSize()) +
        le32(ox::WHITE) + "\xff" + flag(true) + le64(0) + flag(false);
    EXPECT_EQ(record(*p_o, 0), expected);
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_EQ(record(*p_o, 0), le32(0));

    ox_test::LogCapture& log = world.log();
    EXPECT_TRUE(log.contains("Object::serialize(): attr is 0, modified is 262143 (true)"));
    EXPECT_TRUE(log.contains("Object::serialize(): attr is 0, modified is 0 (false)"));
    const std::vector<std::string> lines = {
        "\tID: " + std::to_string(p_o->getId()),
        "\tACTIVE: true",
        "\tVISIBLE: true",
        "\tEVENTS: 0",
        "\tBOX: (-0.5,-0.5) h: 0.99 v: 0.99",
        "\tPOSITION: (1,1)",
        "\tTYPE: (Undefined)",
        "\tANIMATION: sprite , frame_idx 0, slowdown_count 0, transform NONE",
        "\tALTITUDE: 2",
        "\tSOLIDNESS: hard",
        "\tNO_SOFT: false",
        "\tDIRECTION: (0.6,0.8)",
        "\tSPEED: 5.000000",
        "\tACCELERATION: (0,0)",
        "\tSHAPE: " + shape.toString(),
        "\tFOLLOW_PATH: true",
        "\tPATH: ",
        "\tAVOID_COLLISIONS: false",
    };
    // One line each, in the record's order.
    const std::vector<std::string> messages = log.messages();
    auto at = messages.begin();
    for (const std::string& line : lines) {
        at = std::find(at, messages.end(), line);
        EXPECT_NE(at, messages.end()) << line;
    }
}

TEST(ObjectSerialization, ChosenMaskWritesOnlyItsAttributes) {
    World world(80, 24, 25);
    auto* p_o = new Object;
    p_o->setPosition(Vector(7.5f, 3));
    EXPECT_EQ(record(*p_o, ox::POSITION), le32(0x20) + vec(7.5f, 3));
    EXPECT_EQ(p_o->getModified(), ox::ALL_OBJECT_ATTRIBUTES & ~0x20u);
    EXPECT_TRUE(world.log().contains("\t00000000000000000000000000100000"));

    // A label is a 64-bit length and its bytes, after a 32-bit count.
    ASSERT_EQ(p_o->registerInterest("ox-step"), 0);
    EXPECT_EQ(record(*p_o, ox::EVENTS), std::string("\x08\x00\x00\x00"
                                                    "\x01\x00\x00\x00"
                                                    "\x07\x00\x00\x00\x00\x00\x00\x00"
                                                    "ox-step",
                                                    23));
    EXPECT_TRUE(world.log().contains("\t\tox-step (size 7)"));
}

TEST(ObjectSerialization, ReadIdsRaiseTheCounter) {
    World world;
    auto* p_o = new Object;
    unsigned int mask = 0;
    EXPECT_EQ(load(*p_o, le32(ox::ID) + le32(500), &mask), 0);
    EXPECT_EQ(mask, ox::ID);
    EXPECT_EQ(p_o->getId(), 500);
    EXPECT_EQ(p_o->getModified(), 0u);
    EXPECT_EQ((new Object)->getId(), 501);
    EXPECT_EQ(load(*p_o, le32(ox::ID) + le32(3)), 0);
    EXPECT_EQ((new Object)->getId(), 502);

    // The largest id would leave none for the next object; raised close to
    // it, the counter stays at the top rather than overflow.
    EXPECT_EQ(load(*p_o, le32(ox::ID) + le32(INT_MAX)), 0);
    EXPECT_EQ(p_o->getId(), 3);
    EXPECT_TRUE(world.log().contains(
        "Object::deserialize(): Error! Id 2147483647 leaves no id for the next object. Ignored."));
    EXPECT_EQ(load(*p_o, le32(ox::ID) + le32(INT_MAX - 1)), 0);
    EXPECT_EQ((new Object)->getId(), INT_MAX);
    EXPECT_EQ((new Object)->getId(), INT_MAX);
}

TEST(ObjectSerialization, RecordsCutShortApplyNothingPastTheCut) {
    World world;
    auto* p_o = new Object;
    EXPECT_EQ(load(*p_o, le32(0x3ffff)), -1);
    EXPECT_TRUE(world.log().contains("Object::deserialize(): Error! Stream eof."));
    EXPECT_EQ(p_o->getModified(), 0u);

    // Cut inside the altitude: the position before it is taken, the
    // altitude (which would read as 0) is not.
    const std::string bytes = le32(ox::POSITION | ox::ALTITUDE) + vec(4, 5) + le32(0);
    EXPECT_EQ(load(*p_o, bytes.substr(0, bytes.size() - 1)), -1);
    EXPECT_EQ(p_o->getPosition(), Vector(4, 5));
    EXPECT_EQ(p_o->getAltitude(), 2);
    expectIndexed(p_o);
}

TEST(ObjectSerialization, RoundTripMovesTheReaderBetweenLists) {
    World world(80, 24, 25);
    loadBoat();
    auto* p_source = new Object;
    p_source->setType("Boat");
    ASSERT_EQ(p_source->setSprite("boat"), 0);
    ox::Animation animation = p_source->getAnimation();
    animation.setIndex(2);
    animation.setSlowdownCount(1);
    p_source->setAnimation(animation, false);
    // A box of its own, smaller than the sprite's, must survive the sprite.
    const ox::Box hull(Vector(-1, -0.5f), 2, 1);
    p_source->setBox(hull);
    p_source->setPosition(Vector(10, 5));
    p_source->setVelocity(Vector(3, 4));
    p_source->setAcceleration(Vector(0.5f, 0));
    p_source->setAltitude(3);
    p_source->setNoSoft(true);
    p_source->setAvoidCollisions(true);
    ox::Shape shape;
    shape.setType(ox::TRIANGLE);
    p_source->setShape(shape);
    ox::Path path;
    path.setWaypoints({Vector(20, 5), Vector(20, 10)});
    p_source->setPath(path);
    p_source->setFollowPath(true);
    ASSERT_EQ(p_source->registerInterest("ox-step"), 0);
    ASSERT_EQ(p_source->registerInterest("splash"), 0);
    ASSERT_EQ(p_source->setSolidness(ox::SPECTRAL), 0);
    ASSERT_EQ(p_source->setVisible(false), 0);
    ASSERT_EQ(p_source->setActive(false), 0);

    auto* p_target = new Object;
    ASSERT_EQ(p_target->registerInterest("old"), 0);
    ASSERT_EQ(load(*p_target, record(*p_source, ox::ALL_OBJECT_ATTRIBUTES)), 0);
    EXPECT_EQ(p_target->getId(), p_source->getId());
    EXPECT_EQ(p_target->getType(), "Boat");
    EXPECT_FALSE(p_target->isActive());
    EXPECT_FALSE(p_target->isVisible());
    EXPECT_EQ(p_target->getBox(), hull);
    EXPECT_EQ(p_target->getPosition(), Vector(10, 5));
    EXPECT_EQ(p_target->getDirection(), p_source->getDirection());
    EXPECT_EQ(p_target->getSpeed(), 5.0f);
    EXPECT_EQ(p_target->getAcceleration(), Vector(0.5f, 0));
    EXPECT_EQ(p_target->getAltitude(), 3);
    EXPECT_EQ(p_target->getSolidness(), ox::SPECTRAL);
    EXPECT_TRUE(p_target->getNoSoft());
    EXPECT_TRUE(p_target->getAvoidCollisions());
    EXPECT_TRUE(p_target->getFollowPath());
    EXPECT_EQ(p_target->getPath().getWaypoints(), path.getWaypoints());
    EXPECT_EQ(p_target->getShape().getType(), ox::TRIANGLE);
    EXPECT_EQ(p_target->getAnimation().getSprite(),
              ox::ResourceManager::getInstance().getSprite("boat"));
    EXPECT_EQ(p_target->getAnimation().getIndex(), 2);
    EXPECT_EQ(p_target->getAnimation().getSlowdownCount(), 1);
    ASSERT_EQ(p_target->getEventCount(), 2);
    EXPECT_EQ(p_target->getEventName(0), "ox-step");
    EXPECT_EQ(p_target->getEventName(1), "splash");
    EXPECT_EQ(p_target->getModified(), 0u);
    expectIndexed(p_target);
    EXPECT_TRUE(world.log().contains("Object::deserialize(): attr 262143 (" + std::string(14, '0') +
                                     std::string(18, '1') + ")"));

    // Back to active, visible and hard through another object's record:
    // the reader rejoins the lists and the collision grid.
    auto* p_other = new Object;
    p_other->setPosition(Vector(30, 12));
    ASSERT_EQ(load(*p_target, record(*p_other, ox::ACTIVE | ox::VISIBLE | ox::SOLIDNESS |
                                                   ox::POSITION | ox::ALTITUDE)),
              0);
    expectIndexed(p_target);
    EXPECT_TRUE(holds(graph().getCollisions(p_other, Vector(30, 12)), p_target));
}

TEST(ObjectSerialization, HostileLengthsAndCountsAreRefused) {
    World world;
    auto* p_o = new Object;
    ASSERT_EQ(p_o->registerInterest("ox-step"), 0);
    p_o->setType("Keep");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {le32(ox::TYPE) + le64(~0ull) + "abc",
         "Object::deserialize(): Error! Cannot allocate 18446744073709551615 bytes."},
        {le32(ox::TYPE) + str(std::string(1025, 't')),
         "Object::deserialize(): Error! Cannot allocate 1025 bytes."},
        {le32(ox::EVENTS) + le32(101) + str("a"),
         "Object::deserialize(): Error! Event count 101 not in range [0,100]."},
        {le32(ox::EVENTS) + le32(0x80000000) + str("a"),
         "Object::deserialize(): Error! Event count -2147483648 not in range [0,100]."},
        {le32(ox::EVENTS) + le32(2) + str("fine") + str(std::string(257, 'e')),
         "Object::deserialize(): Error! Cannot allocate 257 bytes."},
        {le32(ox::ANIMATION) + le64(1ull << 40) + "boat",
         "Animation::deserialize(): Error! Cannot allocate 1099511627776 bytes."},
        {le32(ox::PATH) + le64(~0ull) + vec(1, 1),
         "Path::deserialize(): Error! Cannot allocate -1 waypoints."},
        {le32(ox::PATH) + le64(1ull << 40) + vec(1, 1),
         "Path::deserialize(): Error! Cannot allocate 1099511627776 waypoints."},
        // Within the cap but longer than the record: the stream ends.
        {le32(ox::TYPE) + le64(1000) + "short", "Object::deserialize(): Error! Stream eof."},
    };
    for (const auto& [bytes, line] : cases) {
        EXPECT_EQ(load(*p_o, bytes), -1) << line;
        EXPECT_TRUE(world.log().contains(line)) << line;
        EXPECT_EQ(p_o->getType(), "Keep");
        ASSERT_EQ(p_o->getEventCount(), 1);
        expectIndexed(p_o);
    }

    // A label twice in one record is registered once.
    EXPECT_EQ(load(*p_o, le32(ox::EVENTS) + le32(3) + str("a") + str("b") + str("a")), 0);
    ASSERT_EQ(p_o->getEventCount(), 2);
    EXPECT_EQ(p_o->getEventName(1), "b");
    EXPECT_TRUE(world.log().contains("Object::deserialize(): Error! Register interest: a"));
}

TEST(ObjectSerialization, AnimationAtTheTopOfTheRangeWrapsWhenDrawn) {
    World world;
    loadBoat();
    auto* p_o = new Object;
    EXPECT_EQ(load(*p_o, le32(ox::ANIMATION) + str("ghost") + le32(1) + le32(0) + le32(0)), 0);
    EXPECT_TRUE(world.log().contains("Object::setSprite(): Warning! Sprite 'ghost' not found"));
    EXPECT_EQ(p_o->getAnimation().getName(), "ghost");

    EXPECT_EQ(
        load(*p_o, le32(ox::ANIMATION) + str("boat") + le32(INT_MAX) + le32(INT_MAX) + le32(0)), 0);
    ox::Animation animation = p_o->getAnimation();
    ASSERT_NE(animation.getSprite(), nullptr);
    EXPECT_EQ(animation.getIndex(), INT_MAX);
    animation.draw(Vector(1, 1));
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 0);
}

}  // namespace
