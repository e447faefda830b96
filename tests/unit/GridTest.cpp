#include <gtest/gtest.h>

#include <cmath>
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
using Cells = std::vector<Grid::Cell>;
using Objects = std::vector<ox::Object*>;

const Grid& theGrid() {
    return ox::WorldManager::getInstance().getSceneGraph().getGrid();
}

// A recorder with a box of the given extents, its corner at the position.
Recorder* block(Vector position, float horizontal, float vertical) {
    auto* p_o = new Recorder(position);
    p_o->setBox(Box(Vector(0, 0), horizontal, vertical));
    return p_o;
}

TEST(Grid, RefusesBadSizesNullObjectsAndUseBeforeStartUp) {
    ox_test::LogCapture log(0);
    Grid grid;
    auto* p_o = new Recorder;  // outside the world: it is not started
    EXPECT_EQ(grid.insertObject(p_o), -1);
    EXPECT_EQ(grid.updatePosition(p_o, Vector(3, 3)), -1);
    EXPECT_TRUE(grid.getCollisions(p_o, Vector(3, 3)).isEmpty());
    EXPECT_EQ(grid.startUp(), 0);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
    EXPECT_EQ(grid.removeObject(nullptr), -1);
    EXPECT_TRUE(grid.getCollisions(nullptr, Vector(3, 3)).isEmpty());
    EXPECT_TRUE(log.contains("Grid::insertObject(): Error! grid is NULL"));
    grid.shutDown();
    delete p_o;

    ox::Config::getInstance().loadConfig("grid_width:0,grid_height:-3,");
    Grid bad;  // takes the bucket size from the configuration
    EXPECT_EQ(bad.startUp(), -1);
    EXPECT_TRUE(log.contains("Grid::startUp(): Error! Bucket size 0 x -3 is not positive."));
}

TEST(Grid, CellsAreInRowMajorOrderAndNonsenseIsOutside) {
    ox_test::World world(80, 24);  // buckets of 20 x 8: 4 columns, 3 rows
    auto* p_o = new Recorder;
    // A far edge exactly on a border covers the bucket beyond it.
    p_o->setBox(Box(Vector(0, 0), 20, 8));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(0.5f, 0.5f)), (Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(70, 20)), (Cells{{-1, -1}, {3, 2}}));
    // Positions that are not numbers, or too large for an int, fall outside.
    EXPECT_EQ(theGrid().getCells(p_o, Vector(std::nanf(""), 5)), (Cells{{-1, -1}}));
    EXPECT_EQ(theGrid().getCells(p_o, Vector(1e20f, 5)), (Cells{{-1, -1}}));
}

TEST(Grid, CollisionsComeInBucketOrderEachObjectOnce) {
    ox_test::World world(80, 24);
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
              (Objects{p_first, p_wide, p_right, p_edge, p_low}));
}

TEST(Grid, CollisionsEqualBruteForceOnRandomScenes) {
    ox_test::World world(100, 40);
    std::mt19937 random(1234);
    // Whole-number places and extents put many box edges exactly on bucket
    // borders (multiples of 20 and 8); the range reaches outside the boundary.
    const auto place = [&](int low, int high) {
        return static_cast<float>(std::uniform_int_distribution<>(low, high)(random));
    };
    const auto fraction = [&] { return std::uniform_real_distribution<float>(-1, 1)(random); };
    std::vector<Recorder*> all;
    for (int i = 0; i < 150; i++) {
        const bool whole = i % 2 == 0;
        const Vector at(place(-10, 110) + (whole ? 0 : fraction()),
                        place(-6, 46) + (whole ? 0 : fraction()));
        Recorder* p_o = block(at, place(0, 25), place(0, 10));
        p_o->setSolidness(static_cast<ox::Solidness>(i % 5 == 0 ? ox::SPECTRAL : i % 2));
        p_o->setActive(i % 7 != 0);
        all.push_back(p_o);
    }
    int hits = 0;
    for (int round = 0; round < 20; round++) {
        for (Recorder* p_o : all) {
            const Vector where(place(-10, 110), place(-6, 46));
            const Objects found = ox_test::contents(theGrid().getCollisions(p_o, where));
            const std::set<ox::Object*> unique(found.begin(), found.end());
            ASSERT_EQ(unique.size(), found.size()) << "an object reported twice";
            std::set<ox::Object*> brute;
            for (Recorder* p_other : all) {
                if (p_other != p_o && p_other->isActive() && p_other->isSolid() &&
                    ox::boxIntersectsBox(ox::getWorldBox(p_other), ox::getWorldBox(p_o, where))) {
                    brute.insert(p_other);
                }
            }
            ASSERT_EQ(unique, brute);
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
