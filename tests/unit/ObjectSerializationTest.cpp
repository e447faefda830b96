// Object and view object records: exact bytes, ids, records cut short, round
// trips between the scene graph's lists, and hostile lengths and counts.
// Randomized hostile records are the deserialize fuzz target's, whose corpus
// every test run replays (FuzzReplay.deserialize).
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RecordBytes.h"
#include "ResourceManager.h"
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"
#include "serialization.h"

namespace {

using namespace ox_test;
using ox::Object;
using ox::Vector;

// Loads a sprite of three frames of 4 x 2 cells under the label "boat".
void loadBoat() {
    ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
    writeFile("boat.txt", "3\n4\n2\n2\nblue\naaaa\naaaa\nbbbb\nbbbb\ncccc\ncccc\n");
    ASSERT_EQ(ox::ResourceManager::getInstance().loadSprite("boat.txt", "boat"), 0);
}

TEST(ObjectSerialization, AttrZeroWritesWhatWasModifiedAndAMaskOnlyItsOwn) {
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

    EXPECT_TRUE(world.log().contains("Object::serialize(): attr is 0, modified is 0 (false)"));
    EXPECT_TRUE(world.log().contains("\tSPEED: 5.000000"));

    // A chosen mask writes only its attributes and clears only their bits.
    p_o->setModified(ox::ALL_OBJECT_ATTRIBUTES);
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
    EXPECT_TRUE(indexedRight(p_o));
}

TEST(ObjectSerialization, RoundTripMovesTheReaderBetweenLists) {
    World world(80, 24, 25);
    loadBoat();
    auto* p_source = new Object;
    p_source->setType("Boat" + std::string(600, '-'));  // longer than a read at once
    ASSERT_EQ(p_source->setSprite("boat"), 0);
    ox::Animation animation = p_source->getAnimation();
    animation.setIndex(2);
    animation.setSlowdownCount(1);
    animation.setTransform(3);  // mirrored both ways
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
    shape.setAlpha(100);
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
    EXPECT_EQ(p_target->getModified(), 0u);
    // Every attribute equal (the box and the labels "old" gave way to
    // included): the two write the same record.
    EXPECT_EQ(record(*p_target, ox::ALL_OBJECT_ATTRIBUTES),
              record(*p_source, ox::ALL_OBJECT_ATTRIBUTES));
    EXPECT_EQ(p_target->getAnimation().getSprite(),
              ox::ResourceManager::getInstance().getSprite("boat"));
    EXPECT_TRUE(indexedRight(p_target));

    // Back to active, visible and hard through another object's record:
    // the reader rejoins the lists and the collision grid.
    auto* p_other = new Object;
    p_other->setPosition(Vector(30, 12));
    ASSERT_EQ(load(*p_target, record(*p_other, ox::ACTIVE | ox::VISIBLE | ox::SOLIDNESS |
                                                   ox::POSITION | ox::ALTITUDE)),
              0);
    EXPECT_TRUE(indexedRight(p_target));
    EXPECT_TRUE(
        holds(ox::WorldManager::getInstance().getCollisions(p_other, Vector(30, 12)), p_target));
}

TEST(ObjectSerialization, HostileLengthsAndCountsAreRefused) {
    World world(80, 24, 1);
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
        EXPECT_TRUE(indexedRight(p_o));
    }

    // A label twice in one record is registered twice, as by two calls of
    // registerInterest, and a record after it replaces both.
    EXPECT_EQ(load(*p_o, le32(ox::EVENTS) + le32(3) + str("a") + str("b") + str("a")), 0);
    ASSERT_EQ(p_o->getEventCount(), 3);
    EXPECT_EQ(p_o->getEventName(2), "a");
    EXPECT_TRUE(world.log().containsPart("twice for event a."));
    EXPECT_FALSE(world.log().contains("Object::deserialize(): Error! Register interest: a"));
    // Exactly as many labels as an object may hold are taken.
    std::string hundred = le32(ox::EVENTS) + le32(100);
    for (int i = 0; i < 100; i++) {
        hundred += str("l" + std::to_string(i));
    }
    EXPECT_EQ(load(*p_o, hundred), 0);
    EXPECT_EQ(p_o->getEventCount(), 100);
    EXPECT_EQ(load(*p_o, le32(ox::EVENTS) + le32(1) + str("b")), 0);
    ASSERT_EQ(p_o->getEventCount(), 1);
    EXPECT_TRUE(indexedRight(p_o));
}

TEST(ObjectSerialization, AnimationAtTheTopOfTheRangeWrapsWhenDrawn) {
    World world;
    loadBoat();
    auto* p_o = new Object;
    // An unknown sprite keeps its name.
    EXPECT_EQ(load(*p_o, le32(ox::ANIMATION) + str("ghost") + le32(1) + le32(0) + le32(0)), 0);
    EXPECT_EQ(p_o->getAnimation().getName(), "ghost");
    EXPECT_EQ(
        load(*p_o, le32(ox::ANIMATION) + str("boat") + le32(INT_MAX) + le32(INT_MAX) + le32(0)), 0);
    ox::Animation animation = p_o->getAnimation();
    ASSERT_NE(animation.getSprite(), nullptr);
    animation.draw(Vector(1, 1));
    EXPECT_EQ(animation.getIndex(), 0);
}

TEST(ObjectSerialization, PathFormKeepsTheIndexAndACutPathChangesNothing) {
    LogCapture log;
    ox::Path path;
    path.setWaypoints({Vector(1, 2), Vector(3, 4), Vector(5, 6)});
    std::stringstream stream(std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_EQ(path.serialize(&stream), 0);
    EXPECT_EQ(stream.str(), le64(3) + vec(1, 2) + vec(3, 4) + vec(5, 6));
    ox::Path copy;
    copy.setWaypoints({Vector(9, 9), Vector(8, 8)});
    copy.next();
    ASSERT_EQ(copy.deserialize(&stream), 0);
    EXPECT_EQ(copy.getWaypoints(), path.getWaypoints());
    EXPECT_EQ(copy.getIndex(), 1);
    for (const std::int64_t count : {1000ll, static_cast<long long>(ox::MAX_WAYPOINTS)}) {
        std::istringstream cut(le64(count) + vec(7, 7), std::ios::in | std::ios::binary);
        EXPECT_EQ(copy.deserialize(&cut), -1);
        EXPECT_EQ(log.count("Path::deserialize(): Error! Stream eof."), count == 1000 ? 1 : 2);
        EXPECT_EQ(copy.getWaypoints(), path.getWaypoints());
    }
    EXPECT_FALSE(log.containsPart("Cannot allocate"));
}

TEST(ViewObjectSerialization, GroupsFollowTheObjectAttributes) {
    World world(80, 24, 25);
    auto* p_v = new ox::ViewObject;
    p_v->setValue(7);
    p_v->setViewString("Score");
    p_v->setBorder(false);
    p_v->setColor(ox::RED);
    p_v->setLocation(ox::BOTTOM_RIGHT);
    p_v->setModified(0x3ffff);
    const std::string bytes = record(*p_v, ox::VALUE | ox::APPEARANCE);
    EXPECT_EQ(bytes, le32(0xc0000) + le32(7) + str("Score") + flag(false) + le32(ox::RED) +
                         le32(ox::BOTTOM_RIGHT) + flag(true));
    EXPECT_EQ(p_v->getModified(), 0x3ffffu);
    EXPECT_TRUE(world.log().contains("\tLOCATION: bot-right"));
    // With attr 0 only the modified group goes out.
    p_v->setModified(0);
    p_v->setValue(8);
    EXPECT_EQ(record(*p_v, 0), le32(ox::VALUE) + le32(8));

    // Read through the setters: the location repositions the copy.
    auto* p_copy = new ox::ViewObject;
    p_copy->setDrawValue(false);  // the record's true must show the value again
    ASSERT_EQ(load(*p_copy, bytes), 0);
    EXPECT_EQ(p_copy->text(), "Score 7");
    EXPECT_EQ(p_copy->getColor(), ox::RED);
    EXPECT_EQ(p_copy->getPosition(), Vector(5 * 80.0f / 6, 23));
    EXPECT_EQ(p_copy->getModified(), 0u);

    // A position set directly travels as the object's; the undefined
    // location read after it is ignored.
    p_v->setPosition(Vector(5, 6));
    ASSERT_EQ(load(*p_copy, record(*p_v, 0)), 0);
    EXPECT_EQ(p_copy->getPosition(), Vector(5, 6));
}

TEST(ViewObjectSerialization, BadGroupsKeepWhatCameBeforeThem) {
    World world;
    auto* p_v = new ox::ViewObject;
    p_v->setViewString("Lives");
    p_v->setDrawValue(false);
    EXPECT_EQ(load(*p_v, le32(ox::APPEARANCE) + le64(5000) + std::string(5000, 'v')), -1);
    EXPECT_TRUE(
        world.log().contains("ViewObject::deserialize(): Error! Cannot allocate 5000 bytes."));
    EXPECT_EQ(p_v->getViewString(), "Lives");
    // Cut after the view string: it is taken, nothing after it.
    EXPECT_EQ(load(*p_v, le32(ox::VALUE | ox::APPEARANCE) + le32(9) + str("Best")), -1);
    EXPECT_TRUE(world.log().contains("ViewObject::deserialize(): Error! Stream eof."));
    EXPECT_EQ(p_v->text(), " Best ");
    EXPECT_EQ(p_v->getValue(), 9);
    EXPECT_EQ(load(*p_v, le32(ox::TYPE | ox::VALUE) + le64(~0ull)), -1);
    EXPECT_TRUE(
        world.log().contains("ViewObject::deserialize(): Error calling Object::deserialize()."));
    EXPECT_EQ(p_v->getValue(), 9);
}

}  // namespace
