// The binary forms of the value types: exact little-endian bytes, round
// trips, what a truncated stream leaves, and untrusted lengths and counts
// refused before anything is reserved.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Animation.h"
#include "Box.h"
#include "LogCapture.h"
#include "Path.h"
#include "RecordBytes.h"
#include "Shape.h"
#include "Sprite.h"
#include "Vector.h"

namespace {

using ox::Vector;
using ox_test::f32;
using ox_test::le32;
using ox_test::le64;
using ox_test::LogCapture;
using ox_test::vec;

std::stringstream binaryStream(const std::string& bytes = "") {
    return std::stringstream(bytes, std::ios::in | std::ios::out | std::ios::binary);
}

template <typename T>
std::string bytesOf(const T& value) {
    std::stringstream stream = binaryStream();
    EXPECT_EQ(value.serialize(&stream), 0);
    return stream.str();
}

template <typename T>
int read(T& value, const std::string& bytes) {
    std::stringstream stream = binaryStream(bytes);
    return value.deserialize(&stream);
}

TEST(SerializationForm, VectorAndBoxBytes) {
    LogCapture log;
    EXPECT_EQ(bytesOf(Vector(1, -2.5f)), std::string("\x00\x00\x80\x3f\x00\x00\x20\xc0", 8));
    const ox::Box box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    EXPECT_EQ(bytesOf(box), vec(-0.5f, -0.5f) + f32(0.99f) + f32(0.99f));

    Vector v;
    EXPECT_EQ(read(v, vec(3, 1.5f)), 0);
    EXPECT_EQ(v, Vector(3, 1.5f));
    ox::Box copy;
    EXPECT_EQ(read(copy, bytesOf(box)), 0);
    EXPECT_EQ(copy, box);

    // Cut short, each form keeps its value and reports the end of the stream.
    EXPECT_EQ(read(v, vec(7, 7).substr(0, 6)), -1);
    EXPECT_EQ(v, Vector(3, 1.5f));
    EXPECT_TRUE(log.contains("Vector::deserialize(): Error! Stream eof."));
    EXPECT_EQ(read(copy, bytesOf(box).substr(0, 12)), -1);
    EXPECT_EQ(copy, box);
    EXPECT_TRUE(log.contains("Box::deserialize(): Error! Stream eof."));
    EXPECT_EQ(v.deserialize(nullptr), -1);
    EXPECT_TRUE(log.contains("Vector::deserialize(): Error! Stream is NULL."));
}

TEST(SerializationForm, ShapeBytesAndUnknownType) {
    LogCapture log;
    ox::Shape shape;
    shape.setType(ox::SQUARE);
    shape.setSize(12.5f);
    shape.setColor(ox::BLUE);
    shape.setAlpha(128);
    const std::string bytes = bytesOf(shape);
    EXPECT_EQ(bytes, le32(1) + f32(12.5f) + le32(4) + "\x80");

    ox::Shape copy;
    EXPECT_EQ(read(copy, bytes), 0);
    EXPECT_EQ(copy.getType(), ox::SQUARE);
    EXPECT_EQ(copy.getSize(), 12.5f);
    EXPECT_EQ(copy.getColor(), ox::BLUE);
    EXPECT_EQ(copy.getAlpha(), 128);

    // An unknown type is logged and ignored; the rest is taken.
    EXPECT_EQ(read(copy, le32(9) + f32(3) + le32(2) + "\x10"), 0);
    EXPECT_EQ(copy.getType(), ox::SQUARE);
    EXPECT_EQ(copy.getSize(), 3.0f);
    EXPECT_TRUE(log.contains("Shape::setType(): Unknown shape type 9. Ignoring."));
}

TEST(SerializationForm, AnimationByNameWithoutItsSprite) {
    LogCapture log;
    ox::Sprite sprite(1);
    sprite.setLabel("ship");
    ox::Animation animation;
    animation.setSprite(&sprite);
    animation.setIndex(2);
    animation.setSlowdownCount(-1);
    animation.setTransform(3);
    const std::string bytes = bytesOf(animation);
    EXPECT_EQ(bytes, le64(4) + "ship" + le32(2) + le32(0xffffffff) + le32(3));

    ox::Animation copy;
    copy.setModified(false);
    EXPECT_EQ(read(copy, bytes), 0);
    EXPECT_EQ(copy.getName(), "ship");
    EXPECT_EQ(copy.getIndex(), 2);
    EXPECT_EQ(copy.getSlowdownCount(), -1);
    EXPECT_EQ(copy.getTransform(), 3);
    EXPECT_EQ(copy.getSprite(), nullptr);
    EXPECT_TRUE(copy.isModified());

    // A name longer than any sprite's is refused before anything is read.
    std::stringstream hostile = binaryStream(le64(1ull << 62) + "x");
    EXPECT_EQ(copy.deserialize(&hostile), -1);
    EXPECT_TRUE(hostile.fail());
    EXPECT_EQ(copy.getName(), "ship");
    EXPECT_TRUE(log.contains(
        "Animation::deserialize(): Error! Cannot allocate 4611686018427387904 bytes."));
}

TEST(SerializationForm, PathWaypointsAndHostileCounts) {
    LogCapture log;
    ox::Path path;
    path.setWaypoints({Vector(1, 2), Vector(3, 4), Vector(5, 6)});
    const std::string bytes = bytesOf(path);
    ASSERT_EQ(bytes.size(), 8u + 3 * 8);
    EXPECT_EQ(bytes, le64(3) + vec(1, 2) + vec(3, 4) + vec(5, 6));

    // The waypoints are replaced; the index stays where it was.
    ox::Path copy;
    copy.setWaypoints({Vector(9, 9), Vector(8, 8)});
    copy.next();
    EXPECT_EQ(read(copy, bytes), 0);
    EXPECT_EQ(copy.getWaypoints(), path.getWaypoints());
    EXPECT_EQ(copy.getIndex(), 1);

    // Counts below zero or beyond the cap are refused, and a count larger
    // than what follows fails at the end of the stream: the path stays.
    for (const std::uint64_t count : {~0ull, 1ull << 40, 1ull << 21}) {
        std::stringstream stream = binaryStream(le64(count) + vec(1, 1));
        EXPECT_EQ(copy.deserialize(&stream), -1);
        EXPECT_TRUE(stream.fail());
    }
    EXPECT_TRUE(log.contains("Path::deserialize(): Error! Cannot allocate -1 waypoints."));
    EXPECT_TRUE(
        log.contains("Path::deserialize(): Error! Cannot allocate 1099511627776 waypoints."));
    EXPECT_EQ(read(copy, le64(1000) + vec(1, 1)), -1);
    EXPECT_TRUE(log.contains("Path::deserialize(): Error! Stream eof."));
    EXPECT_EQ(copy.getWaypoints(), path.getWaypoints());
}

}  // namespace
