#include <gtest/gtest.h>

#include "Box.h"
#include "Path.h"
#include "Vector.h"
#include "WorldKit.h"
#include "geometry.h"

namespace {

using ox::Box;
using ox::Vector;

TEST(Vector, MagnitudeNormalizeAndScale) {
    Vector v(3, 4);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5.0f);
    v.normalize();
    EXPECT_FLOAT_EQ(v.getX(), 0.6f);
    EXPECT_FLOAT_EQ(v.getY(), 0.8f);

    Vector zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector(0, 0));

    Vector s(1.5f, -2);
    s.scale(2);
    s += Vector(0.5f, 1) - Vector(1, 0);
    EXPECT_EQ(s, Vector(2.5f, -3));
}

TEST(Vector, TextForms) {
    EXPECT_EQ(Vector(3, 1.5f).toString(), "(3,1.5)");
    EXPECT_EQ(Vector(-0.5f, 1.0f / 3.0f).toString(), "(-0.5,0.333333)");
    EXPECT_EQ(Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f).toString(), "(-0.5,-0.5) h: 0.99 v: 0.99");
    EXPECT_EQ(Box().toString(), "(0,0) h: 0 v: 0");
}

TEST(Geometry, BoxesThatShareAnEdgeIntersect) {
    const Box unit(Vector(0, 0), 1, 1);
    EXPECT_TRUE(ox::boxIntersectsBox(unit, Box(Vector(1, 0), 1, 1)));
    EXPECT_FALSE(ox::boxIntersectsBox(unit, Box(Vector(1.01f, 0), 1, 1)));
    // Corner contact, containment either way, and overlap on one axis only.
    EXPECT_TRUE(ox::boxIntersectsBox(unit, Box(Vector(1, 1), 1, 1)));
    EXPECT_TRUE(ox::boxIntersectsBox(Box(Vector(-5, -5), 20, 20), unit));
    EXPECT_TRUE(ox::boxIntersectsBox(unit, Box(Vector(-5, -5), 20, 20)));
    EXPECT_FALSE(ox::boxIntersectsBox(unit, Box(Vector(0.5f, 3), 1, 1)));
    EXPECT_FALSE(ox::boxIntersectsBox(unit, Box(Vector(3, 0.5f), 1, 1)));
}

TEST(Geometry, ContainsPositionIncludesEdges) {
    const Box box(Vector(0, 0), 2, 2);
    EXPECT_TRUE(ox::boxContainsPosition(box, Vector(2, 2)));
    EXPECT_TRUE(ox::boxContainsPosition(box, Vector(0, 0)));
    EXPECT_FALSE(ox::boxContainsPosition(box, Vector(2.01f, 0)));
    EXPECT_FALSE(ox::boxContainsPosition(box, Vector(1, -0.01f)));
}

TEST(Geometry, WorldBoxFollowsPositionOrGivenPlace) {
    ox_test::World world;
    auto* p_o = new ox_test::Recorder(Vector(10, 5));
    EXPECT_EQ(ox::getWorldBox(p_o), Box(Vector(9.5f, 4.5f), 0.99f, 0.99f));
    EXPECT_EQ(ox::getWorldBox(p_o, Vector(2, 3)), Box(Vector(1.5f, 2.5f), 0.99f, 0.99f));
}

// An object moving with velocity from start, and a still obstacle at target.
struct Approach {
    ox_test::Recorder* p_mover;
    ox_test::Recorder* p_obstacle;
    Approach(Vector start, Vector velocity, Vector target) {
        p_mover = new ox_test::Recorder(start, ox::SPECTRAL);
        p_mover->setVelocity(velocity);
        p_obstacle = new ox_test::Recorder(target, ox::SPECTRAL);
    }
    Vector normal() const { return ox::getNormal(p_mover, p_obstacle); }
};

TEST(Geometry, NormalIsTheSideRunInto) {
    ox_test::World world;
    // Down onto the top, up into the bottom, right into the left side, left
    // into the right side.
    EXPECT_EQ(Approach(Vector(5, 5), Vector(0, 1.5f), Vector(5, 7)).normal(), Vector(0, -1));
    EXPECT_EQ(Approach(Vector(15, 7), Vector(0, -1.5f), Vector(15, 5)).normal(), Vector(0, 1));
    EXPECT_EQ(Approach(Vector(5, 15), Vector(1.5f, 0), Vector(7, 15)).normal(), Vector(-1, 0));
    EXPECT_EQ(Approach(Vector(27, 15), Vector(-1.5f, 0), Vector(25, 15)).normal(), Vector(1, 0));
    // Diagonally into a corner with no side contact: the corner probe.
    EXPECT_EQ(Approach(Vector(40, 10), Vector(1.5f, 1.5f), Vector(41.5f, 11.5f)).normal(),
              Vector(-1, -1));
    // Sliding along the top while moving diagonally still touches the side first.
    EXPECT_EQ(Approach(Vector(50, 10), Vector(0.5f, 1.5f), Vector(51, 12)).normal(), Vector(0, -1));
}

TEST(Geometry, NormalOfObjectsThatNeverMeetIsZeroAndLogged) {
    ox_test::World world(80, 24, 1);
    EXPECT_EQ(Approach(Vector(5, 5), Vector(1, 0), Vector(50, 20)).normal(), Vector(0, 0));
    EXPECT_EQ(world.log().count("getNormal(): No collision detected. Returning (0,0)."), 1);
}

TEST(Geometry, NormalSearchStopsAfterSevenHalvings) {
    ox_test::World world(80, 24, 1);
    // Mover boxes span x - 0.5 to x + 0.49; an obstacle at c spans c - 0.5 to
    // c + 0.49 and its left probe one cell further left. The tries are
    // t = 0.5 (a hit), then 0, 0.25, 0.375, 0.4375, 0.46875 and 0.484375, all
    // free: the last free place is 0.484375 of the motion.
    // Moving 50 cells toward an obstacle at 25.5 that place is x = 24.22,
    // whose box reaches into the left probe (24.01 to 25).
    EXPECT_EQ(Approach(Vector(0, 30), Vector(50, 0), Vector(25.5f, 30)).normal(), Vector(-1, 0));
    // Moving 100 cells toward an obstacle at 50.5 it is x = 48.44, more than a
    // cell short of the obstacle: no probe is touched (an eighth try would
    // have reached x = 49.22 and the left probe).
    EXPECT_EQ(Approach(Vector(0, 40), Vector(100, 0), Vector(50.5f, 40)).normal(), Vector(0, 0));
    EXPECT_EQ(world.log().count("getNormal(): No collision detected. Returning (0,0)."), 1);
}

TEST(Path, WaypointsIndexAndTextForm) {
    ox::Path path;
    EXPECT_TRUE(path.isDone());
    EXPECT_EQ(path.getCurrent(), Vector(0, 0));
    EXPECT_EQ(path.toString(), "");

    path.setWaypoints({Vector(1, 2), Vector(3.5f, 4), Vector(5, 6)});
    EXPECT_EQ(path.toString(), "(1,2)|(3.5,4)|(5,6)|");
    EXPECT_FALSE(path.isDone());
    EXPECT_EQ(path.getCurrent(), Vector(1, 2));
    const ox::Path copy = path.next();
    EXPECT_EQ(copy.getIndex(), 1);
    EXPECT_EQ(path.getCurrent(), Vector(3.5f, 4));
    path.next();
    path.next();
    EXPECT_TRUE(path.isDone());
    path.next();
    EXPECT_EQ(path.getIndex(), 3);
    EXPECT_EQ(path.getCurrent(), Vector(0, 0));

    // New waypoints keep the index.
    path.setWaypoints({Vector(0, 0), Vector(1, 1), Vector(2, 2), Vector(3, 3)});
    EXPECT_EQ(path.getIndex(), 3);
    EXPECT_EQ(path.getCurrent(), Vector(3, 3));
}

}  // namespace
