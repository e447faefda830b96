// The path form, which object records carry empty elsewhere in the tests:
// exact bytes, the index kept on reading, and a cut-short path left alone.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "LogCapture.h"
#include "Path.h"
#include "RecordBytes.h"

namespace {

using ox::Vector;
using ox_test::le64;
using ox_test::vec;

TEST(SerializationForm, PathWaypointsWithoutTheIndex) {
    ox_test::LogCapture log;
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

    std::istringstream cut(le64(1000) + vec(7, 7), std::ios::in | std::ios::binary);
    EXPECT_EQ(copy.deserialize(&cut), -1);
    EXPECT_TRUE(log.contains("Path::deserialize(): Error! Stream eof."));
    EXPECT_EQ(copy.getWaypoints(), path.getWaypoints());
}

}  // namespace
