#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "Config.h"
#include "Grid.h"
#include "SceneGraph.h"
#include "WorldKit.h"
#include "WorldManager.h"
#include "geometry.h"

namespace {

using ox::Box;
using ox::Grid;
using ox::Object;
using ox::Vector;
using ox_test::Recorder;
using Cells = std::vector<Grid::Cell>;
using Objects = std::vector<ox::Object*>;
using Lists = std::map<std::string, std::multiset<const Object*>>;  // order aside

const std::vector<std::string> TYPES = {"(Undefined)", "a", "b", "c"};

std::string bucketName(ox::Grid::Cell cell) {
    return "bucket " + std::to_string(cell.col) + "," + std::to_string(cell.row);
}

/// Every list of the scene graph and every grid bucket, by name.
Lists actualLists() {
    const ox::SceneGraph& g = ox::WorldManager::getInstance().getSceneGraph();
    Lists lists;
    const auto add = [&](const std::string& name, const ox::ObjectList& list) {
        for (const Object* p_o : ox_test::contents(list)) {
            lists[name].insert(p_o);
        }
    };
    add("active", g.activeObjects());
    add("inactive", g.inactiveObjects());
    add("solid", g.solidObjects());
    for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
        add("visible " + std::to_string(altitude), g.visibleObjects(altitude));
    }
    for (const std::string& type : TYPES) {
        add("type " + type, g.objectsOfType(type));
    }
    add(bucketName({-1, -1}), g.getGrid().getBucket({-1, -1}));
    for (int row = 0; row < g.getGrid().getNumRows(); row++) {
        for (int col = 0; col < g.getGrid().getNumCols(); col++) {
            add(bucketName({col, row}), g.getGrid().getBucket({col, row}));
        }
    }
    return lists;
}

/// What the scene graph's invariants say those lists hold: each object once
/// in the active or the inactive list; an active one in its type's list, in
/// its altitude's list when visible, and when solid in the solid list and in
/// every bucket its box covers; nothing else anywhere.
Lists expectedLists(const std::vector<Object*>& world) {
    const ox::Grid& grid = ox::WorldManager::getInstance().getSceneGraph().getGrid();
    Lists lists;
    for (const Object* p_o : world) {
        if (!p_o->isActive()) {
            lists["inactive"].insert(p_o);
            continue;
        }
        lists["active"].insert(p_o);
        lists["type " + p_o->getType()].insert(p_o);
        if (p_o->isVisible()) {
            lists["visible " + std::to_string(p_o->getAltitude())].insert(p_o);
        }
        if (p_o->isSolid()) {
            lists["solid"].insert(p_o);
            for (const ox::Grid::Cell& cell : grid.getCells(p_o, p_o->getPosition())) {
                lists[bucketName(cell)].insert(p_o);
            }
        }
    }
    return lists;
}

// A long random sequence of setter calls over many objects, with objects
// deleted and made along the way and the boundary changed now and then; the
// invariants are checked after every operation.
TEST(SceneGraph, InvariantsHoldThroughRandomSetterSequences) {
    ox_test::World world(100, 40);
    ox::WorldManager& wm = ox::WorldManager::getInstance();
    std::mt19937 random(99);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<>(low, high)(random);
    };
    const auto place = [&](int low, int high) { return static_cast<float>(pick(low, high)); };
    std::vector<Object*> objects;
    for (int i = 0; i < 40; i++) {
        objects.push_back(new ox_test::Recorder(Vector(place(-5, 105), place(-5, 45))));
    }
    for (int step = 0; step < 3000; step++) {
        Object* p_o = objects[static_cast<size_t>(pick(0, static_cast<int>(objects.size()) - 1))];
        const int operation = pick(0, 11);
        switch (operation) {
            case 0:
                p_o->setActive(!p_o->isActive());
                break;
            case 1:
                p_o->setSolidness(static_cast<ox::Solidness>(pick(0, 2)));
                break;
            case 2:
                p_o->setAltitude(pick(-1, 5));
                break;
            case 3:
                p_o->setVisible(pick(0, 1) == 1);
                break;
            case 4:
                p_o->setType(TYPES[static_cast<size_t>(pick(0, 3))]);
                break;
            case 5:
                p_o->setBox(Box(Vector(place(-3, 0), place(-3, 0)), place(0, 30), place(0, 12)));
                break;
            case 6:
            case 7:
                p_o->setPosition(Vector(place(-10, 110) + 0.25f * place(0, 3), place(-10, 50)));
                break;
            case 8:
                wm.moveObject(p_o, p_o->getPosition() + Vector(place(-2, 2), place(-2, 2)));
                break;
            case 9:  // deletion, and a replacement
                wm.markForDelete(p_o);
                wm.update();
                objects.erase(std::find(objects.begin(), objects.end(), p_o));
                objects.push_back(new ox_test::Recorder(Vector(place(0, 100), place(0, 40))));
                break;
            case 10:
                if (pick(0, 20) == 0) {
                    wm.setBoundary(Box(Vector(0, 0), place(0, 120), place(0, 50)));
                }
                break;
            default:
                p_o->setNoSoft(pick(0, 1) == 1);
                break;
        }
        ASSERT_EQ(actualLists(), expectedLists(objects))
            << "after operation " << operation << " at step " << step;
    }
}

const Grid& theGrid() {
    return ox::WorldManager::getInstance().getSceneGraph().getGrid();
}

// A recorder with a box of the given extents, its corner at the position.
Recorder* block(Vector position, float horizontal, float vertical) {
    auto* p_o = new Recorder(position);
    p_o->setBox(Box(Vector(0, 0), horizontal, vertical));
    return p_o;
}

TEST(Grid, RefusesUseBeforeStartUpAndBadBucketSizes) {
    ox_test::LogCapture log(0);
    Grid grid;
    auto* p_o = new Recorder;  // outside the world: it is not started
    EXPECT_EQ(grid.insertObject(p_o), -1);
    EXPECT_TRUE(grid.getCollisions(p_o, Vector(3, 3)).isEmpty());
    delete p_o;
    ox::Config::getInstance().loadConfig("grid_width:0,grid_height:-3,");
    Grid bad;  // takes the bucket size from the configuration
    EXPECT_EQ(bad.startUp(), -1);
    EXPECT_TRUE(log.contains("Grid::startUp(): Error! Bucket size 0 x -3 is not positive."));
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
