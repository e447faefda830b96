// View object records: the VALUE and APPEARANCE groups after the object's
// attributes, written when named or modified, read back through the setters
// (the location repositions), and refused or cut-short groups.
#include <gtest/gtest.h>

#include <string>

#include "RecordBytes.h"
#include "ViewObject.h"
#include "WorldKit.h"

namespace {

using ox::Vector;
using ox::ViewObject;
using ox_test::flag;
using ox_test::le32;
using ox_test::le64;
using ox_test::load;
using ox_test::record;
using ox_test::str;
using ox_test::World;

TEST(ViewObjectSerialization, GroupsFollowTheObjectAttributes) {
    World world(80, 24, 25);
    auto* p_v = new ViewObject;
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
    for (const char* line : {"ViewObject::serialize(): attr is 786432, modified is 262143 (true)",
                             "\tVALUE", "\tAPPEARANCE", "\tVIEW_STRING: Score", "\tBORDER: false",
                             "\tCOLOR: Red", "\tLOCATION: bot-right", "\tDRAW_VALUE: true"}) {
        EXPECT_TRUE(world.log().contains(line)) << line;
    }
    // With attr 0 only the modified group goes out.
    p_v->setModified(0);
    p_v->setValue(8);
    EXPECT_EQ(record(*p_v, 0), le32(ox::VALUE) + le32(8));
    EXPECT_EQ(record(*p_v, 0), le32(0));

    auto* p_copy = new ViewObject;
    unsigned int mask = 0;
    ASSERT_EQ(load(*p_copy, bytes, &mask), 0);
    EXPECT_EQ(mask, ox::VALUE | ox::APPEARANCE);
    EXPECT_EQ(p_copy->getValue(), 7);
    EXPECT_EQ(p_copy->getViewString(), "Score");
    EXPECT_FALSE(p_copy->getBorder());
    EXPECT_EQ(p_copy->getColor(), ox::RED);
    EXPECT_EQ(p_copy->getLocation(), ox::BOTTOM_RIGHT);
    EXPECT_EQ(p_copy->getPosition(), Vector(5 * 80.0f / 6, 23));
    EXPECT_EQ(p_copy->getModified(), 0u);
    EXPECT_TRUE(world.log().contains("\tVALUE: 7"));
}

TEST(ViewObjectSerialization, MovedViewObjectRoundTripAndBadGroups) {
    World world;
    auto* p_v = new ViewObject;
    p_v->setViewString("Lives");
    p_v->setDrawValue(false);
    p_v->setPosition(Vector(5, 6));
    auto* p_copy = new ViewObject;
    ASSERT_EQ(load(*p_copy, record(*p_v, 0)), 0);
    EXPECT_EQ(p_copy->getViewString(), "Lives");
    EXPECT_FALSE(p_copy->getDrawValue());
    ASSERT_EQ(p_copy->getEventCount(), 1);
    // The position set directly travels as the object's position; the
    // undefined location read after it is logged and ignored.
    EXPECT_EQ(p_copy->getPosition(), Vector(5, 6));
    EXPECT_EQ(p_copy->getLocation(), ox::UNDEFINED_LOCATION);
    EXPECT_TRUE(world.log().contains(
        "ViewObject::setLocation(): Warning! Location out of range (-1). Ignored."));

    EXPECT_EQ(load(*p_copy, le32(ox::APPEARANCE) + le64(5000) + std::string(5000, 'v')), -1);
    EXPECT_TRUE(
        world.log().contains("ViewObject::deserialize(): Error! Cannot allocate 5000 bytes."));
    EXPECT_EQ(p_copy->getViewString(), "Lives");

    // Cut after the view string: it is taken, nothing after it.
    EXPECT_EQ(load(*p_copy, le32(ox::VALUE | ox::APPEARANCE) + le32(9) + str("Best")), -1);
    EXPECT_TRUE(world.log().contains("ViewObject::deserialize(): Error! Stream eof."));
    EXPECT_EQ(p_copy->getValue(), 9);
    EXPECT_EQ(p_copy->getViewString(), "Best");
    EXPECT_FALSE(p_copy->getDrawValue());

    EXPECT_EQ(load(*p_copy, le32(ox::TYPE | ox::VALUE) + le64(~0ull)), -1);
    EXPECT_TRUE(
        world.log().contains("ViewObject::deserialize(): Error calling Object::deserialize()."));
    EXPECT_EQ(p_copy->getValue(), 9);
}

}  // namespace
