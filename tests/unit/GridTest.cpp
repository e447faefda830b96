#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "Config.h"
#include "Grid.h"
#include "WorldKit.h"
#include "WorldManager.h"
#include "geometry.h"

namespace {

using ox::Box;
using ox::Grid;
using ox::Vector;
using ox_test::Recorder;
using ox_test::World;
using Cells = std::vector<Grid::Cell>;

const Grid& theGrid() {
    return ox::WorldManager::getInstance().getSceneGraph().getGrid();
}

// A recorder with a box of the given extents, its corner at the position.
Recorder* block(Vector position, float horizontal, float vertical) {
    auto* p_o = new Recorder(position);
    p_o->setBox(Box(Vector(0, 0), horizontal, vertical));
    return p_o;
}

TEST(Grid, BucketCountFollowsBoundaryAndConfiguredSize) {
    World world(80, 24, 5);
    EXPECT_EQ(theGrid().getNumCols(), 4);
    EXPECT_EQ(theGrid().getNumRows(), 3);
    EXPECT_TRUE(world.log().contains("Grid::startUp(): m_num_cols 4, m_num_rows 3"));
    ox::WorldManager::getInstance().setBoundary(Box(Vector(0, 0), 81, 24));
    EXPECT_EQ(theGrid().getNumCols(), 5);
    EXPECT_TRUE(world.log().contains("Grid::startUp(): m_num_cols 5, m_num_rows 3"));
}

TEST(Grid, SecondStartUpAndUnstartedUseAreRefused) {
    ox_test::LogCapture log(0);
    Grid grid;
    auto* p_o = new Recorder;  // outside the world: it is not started
    EXPECT_EQ(grid.insertObject(p_o), -1);
    EXPECT_EQ(grid.removeObject(p_o), -1);
    EXPECT_EQ(grid.updatePosition(p_o, Vector(3, 3)), -1);
    EXPECT_TRUE(grid.getCollisions(p_o, Vector(3, 3)).isEmpty());
    EXPECT_EQ(grid.startUp(), 0);
    EXPECT_EQ(grid.startUp(), -1);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
    EXPECT_EQ(grid.removeObject(nullptr), -1);
    EXPECT_EQ(grid.updatePosition(nullptr, Vector(3, 3)), -1);
    EXPECT_TRUE(grid.getCollisions(nullptr, Vector(3, 3)).isEmpty());
    grid.shutDown();
    EXPECT_FALSE(grid.isStarted());
    for (const char* line :
         {"Grid::insertObject(): Error! grid is NULL", "Grid::removeObject(): Error! grid is NULL",
          "Grid::updatePosition(): Error! grid is NULL",
          "Grid::getCollisions(): Error! grid is NULL",
          "Grid::startUp(): Warning! Grid allocated. Not proceeding.",
          "Grid::insertObject(): Error! Object is NULL",
          "Grid::removeObject(): Error! Object is NULL",
          "Grid::updatePosition(): Error! Object is NULL",
          "Grid::getCollisions(): Error! Object is NULL"}) {
        EXPECT_EQ(log.count(line), 1) << line;
    }
    delete p_o;
}

TEST(Grid, NonPositiveBucketSizeIsRefused) {
    ox_test::LogCapture log(0);
    ox::Config::getInstance().loadConfig("grid_width:0,grid_height:-3,");
    Grid grid;
    EXPECT_EQ(grid.startUp(), -1);
    EXPECT_FALSE(grid.isStarted());
    EXPECT_TRUE(log.contains("Grid::startUp(): Error! Bucket size 0 x -3 is not positive."));
}

TEST(Grid, CellsAreFlooredClampedAndInRowMajorOrder) {
    World world(80, 24);
    auto* p_o = new Recorder;
    EXPECT_EQ(theGrid().getCells(p_o, Vector(1, 1)), (Cells{{0, 0}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(0, 0)), (Cells{{-1, -1}, {0, 0}}));
    // Box spanning x 19.5 to 20.49 covers columns 0 and 1.
    EXPECT_EQ(theGrid().getCells(p_o, Vector(20, 4)), (Cells{{0, 0}, {1, 0}}));
    // A far edge exactly on a border covers the bucket beyond it.
    p_o->setBox(Box(Vector(0, 0), 20, 8));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(0, 0)), (Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(0.5f, 0.5f)), (Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(0.5f, 0.5f)).size(), 4u);
    // Reaching past the right and bottom edges; wholly outside; beyond every edge.
    EXPECT_EQ(theGrid().getCells(p_o, Vector(70, 20)), (Cells{{-1, -1}, {3, 2}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(200, 5)), (Cells{{-1, -1}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(-100, -100)), (Cells{{-1, -1}}));
    p_o->setBox(Box(Vector(0, 0), 1000, 1000));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(-1, -1)).size(), 13u);
    // Positions that are not numbers fall outside.
    EXPECT_EQ(theGrid().getCells(p_o, Vector(std::nanf(""), 5)), (Cells{{-1, -1}}));
}

TEST(Grid, EmptyBoundaryKeepsEverythingOutside) {
    World world(0, 0);
    EXPECT_EQ(theGrid().getNumCols(), 0);
    auto* p_a = new Recorder(Vector(5, 5));
    auto* p_b = new Recorder(Vector(5.5f, 5));
    new Recorder(Vector(50, 5));
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({-1, -1})).size(), 3u);
    EXPECT_EQ(ox_test::contents(theGrid().getCollisions(p_a, Vector(5, 5))),
              (std::vector<ox::Object*>{p_b}));
}

TEST(Grid, MovesChangeOnlyTheBucketsLeftAndEntered) {
    World world(80, 24);
    auto* p_o = new Recorder(Vector(5, 5));
    auto* p_other = new Recorder(Vector(6, 6));
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({0, 0})),
              (std::vector<ox::Object*>{p_o, p_other}));
    p_o->setPosition(Vector(10, 4));  // same bucket: its place in the list is kept
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({0, 0})),
              (std::vector<ox::Object*>{p_o, p_other}));
    p_o->setPosition(Vector(20, 4));  // now covers buckets 0 and 1
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({0, 0})),
              (std::vector<ox::Object*>{p_o, p_other}));
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({1, 0})), (std::vector<ox::Object*>{p_o}));
    p_o->setPosition(Vector(30, 4));
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({0, 0})), (std::vector<ox::Object*>{p_other}));
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({1, 0})), (std::vector<ox::Object*>{p_o}));
    p_o->setPosition(Vector(-30, 4));
    EXPECT_TRUE(theGrid().getBucket({1, 0}).isEmpty());
    EXPECT_EQ(ox_test::contents(theGrid().getBucket({-1, -1})), (std::vector<ox::Object*>{p_o}));
}

TEST(Grid, CollisionsComeInBucketOrderEachObjectOnce) {
    World world(80, 24);
    // The query box, x 15 to 45 and y -2 to 15, reaches outside and covers
    // buckets (0,0) to (2,1).
    auto* p_query = block(Vector(15, -2), 30, 17);
    auto* p_wide = block(Vector(18, 6), 10, 1);   // buckets (0,0) and (1,0)
    auto* p_low = block(Vector(16, 14), 1, 1);    // bucket (0,1)
    auto* p_right = block(Vector(35, 6), 1, 1);   // bucket (1,0)
    auto* p_edge = block(Vector(44, 0), 2, 5);    // touches the query's right edge, (2,0)
    block(Vector(47, 6), 1, 1);                   // beyond it
    auto* p_first = block(Vector(14, -1), 2, 7);  // outside and (0,0), after p_wide
    EXPECT_EQ(ox_test::contents(theGrid().getCollisions(p_query, Vector(15, -2))),
              (std::vector<ox::Object*>{p_first, p_wide, p_right, p_edge, p_low}));
}

// The solid active objects other than p_o whose world boxes overlap p_o's box at where.
std::set<ox::Object*> bruteForce(const std::vector<Recorder*>& all, const ox::Object* p_o,
                                 Vector where) {
    std::set<ox::Object*> hits;
    const Box box = ox::getWorldBox(p_o, where);
    for (Recorder* p_other : all) {
        if (p_other != p_o && p_other->isActive() && p_other->isSolid() &&
            ox::boxIntersectsBox(ox::getWorldBox(p_other), box)) {
            hits.insert(p_other);
        }
    }
    return hits;
}

TEST(Grid, CollisionsEqualBruteForceOnRandomScenes) {
    World world(100, 40);
    std::mt19937 random(1234);
    // Whole-number places and extents put many box edges exactly on bucket
    // borders (multiples of 20 and 8); the range reaches outside the boundary.
    auto place = [&](int low, int high) {
        return static_cast<float>(std::uniform_int_distribution<>(low, high)(random));
    };
    auto fraction = [&] { return std::uniform_real_distribution<float>(-1, 1)(random); };
    std::vector<Recorder*> all;
    for (int i = 0; i < 150; i++) {
        const bool whole = i % 2 == 0;
        const Vector at(place(-10, 110) + (whole ? 0 : fraction()),
                        place(-6, 46) + (whole ? 0 : fraction()));
        Recorder* p_o = block(at, place(0, 25), place(0, 10));
        p_o->setSolidness(static_cast<ox::Solidness>(i % 5 == 0 ? ox::SPECTRAL : i % 2));
        if (i % 7 == 0) {
            p_o->setActive(false);
        }
        all.push_back(p_o);
    }
    int hits = 0;
    for (int round = 0; round < 20; round++) {
        for (Recorder* p_o : all) {
            const Vector where(place(-10, 110), place(-6, 46));
            const std::vector<ox::Object*> found =
                ox_test::contents(theGrid().getCollisions(p_o, where));
            const std::set<ox::Object*> unique(found.begin(), found.end());
            ASSERT_EQ(unique.size(), found.size()) << "an object reported twice";
            ASSERT_EQ(unique, bruteForce(all, p_o, where));
            hits += static_cast<int>(found.size());
        }
        // Move some objects about so the buckets must follow.
        for (Recorder* p_o : all) {
            if (std::uniform_int_distribution<>(0, 2)(random) == 0) {
                p_o->setPosition(Vector(place(-10, 110), place(-6, 46)));
            }
        }
    }
    EXPECT_GT(hits, 1000);  // the scenes are dense enough to mean something
}

}  // namespace
