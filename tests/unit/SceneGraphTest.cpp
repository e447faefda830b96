#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "GameManager.h"
#include "SceneGraph.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Object;
using ox::ObjectList;
using ox::SceneGraph;
using ox::Vector;
using ox_test::Recorder;
using ox_test::World;

SceneGraph& graph() {
    return ox::WorldManager::getInstance().getSceneGraph();
}

int occurrences(const ObjectList& list, const Object* p_o) {
    const std::vector<Object*> all = ox_test::contents(list);
    return static_cast<int>(std::count(all.begin(), all.end(), p_o));
}

// Invariants 1 to 5 of the scene graph for every object of the world, plus:
// the lists hold nothing else, and the grid holds each active solid object in
// exactly the buckets its box covers.
testing::AssertionResult consistent(const std::vector<Object*>& world,
                                    const std::set<std::string>& types) {
    const SceneGraph& g = graph();
    const ox::Grid& grid = g.getGrid();
    std::map<const Object*, std::vector<ox::Grid::Cell>> in_grid;
    std::vector<ox::Grid::Cell> buckets{{-1, -1}};
    for (int row = 0; row < grid.getNumRows(); row++) {
        for (int col = 0; col < grid.getNumCols(); col++) {
            buckets.push_back({col, row});
        }
    }
    size_t grid_entries = 0;
    for (const ox::Grid::Cell& cell : buckets) {
        for (Object* p_o : ox_test::contents(grid.getBucket(cell))) {
            in_grid[p_o].push_back(cell);
            grid_entries++;
        }
    }
    size_t active = 0, solid = 0, visible = 0, typed = 0, gridded = 0;
    for (const Object* p_o : world) {
        const auto fail = [&](const char* what) {
            return testing::AssertionFailure()
                   << "object " << p_o->getId() << " (" << p_o->getType() << "): " << what;
        };
        const bool on = p_o->isActive();
        if (occurrences(g.activeObjects(), p_o) != (on ? 1 : 0) ||
            occurrences(g.inactiveObjects(), p_o) != (on ? 0 : 1)) {
            return fail("activity lists");
        }
        for (const std::string& type : types) {
            const int expected = on && type == p_o->getType() ? 1 : 0;
            if (occurrences(g.objectsOfType(type), p_o) != expected) {
                return fail("type map");
            }
        }
        for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
            const int expected = on && p_o->isVisible() && altitude == p_o->getAltitude() ? 1 : 0;
            if (occurrences(g.visibleObjects(altitude), p_o) != expected) {
                return fail("visible lists");
            }
        }
        const bool in_solid_lists = on && p_o->isSolid();
        if (occurrences(g.solidObjects(), p_o) != (in_solid_lists ? 1 : 0)) {
            return fail("solid list");
        }
        const auto found = in_grid.find(p_o);
        const std::vector<ox::Grid::Cell> cells =
            found == in_grid.end() ? std::vector<ox::Grid::Cell>() : found->second;
        const std::vector<ox::Grid::Cell> expected =
            in_solid_lists ? grid.getCells(p_o, p_o->getPosition()) : std::vector<ox::Grid::Cell>();
        if (cells != expected) {
            return fail("grid buckets");
        }
        active += on ? 1 : 0;
        solid += in_solid_lists ? 1 : 0;
        visible += on && p_o->isVisible() ? 1 : 0;
        typed += on ? 1 : 0;
        gridded += cells.size();
    }
    // Nothing but these objects in any list.
    size_t visible_total = 0, typed_total = 0;
    for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
        visible_total += ox_test::contents(g.visibleObjects(altitude)).size();
    }
    for (const std::string& type : types) {
        typed_total += ox_test::contents(g.objectsOfType(type)).size();
    }
    if (ox_test::contents(g.activeObjects()).size() != active ||
        ox_test::contents(g.inactiveObjects()).size() != world.size() - active ||
        ox_test::contents(g.solidObjects()).size() != solid || visible_total != visible ||
        typed_total != typed || grid_entries != gridded) {
        return testing::AssertionFailure() << "lists hold objects that are not in the world";
    }
    return testing::AssertionSuccess();
}

TEST(SceneGraph, NewObjectIsInEveryListItsAttributesCallFor) {
    World world;
    auto* p_o = new Recorder(Vector(5, 5));
    EXPECT_EQ(ox_test::contents(graph().activeObjects()), (std::vector<Object*>{p_o}));
    EXPECT_EQ(ox_test::contents(graph().objectsOfType("(Undefined)")), (std::vector<Object*>{p_o}));
    EXPECT_EQ(ox_test::contents(graph().solidObjects()), (std::vector<Object*>{p_o}));
    EXPECT_EQ(ox_test::contents(graph().visibleObjects(2)), (std::vector<Object*>{p_o}));
    EXPECT_EQ(ox_test::contents(graph().getGrid().getBucket({0, 0})), (std::vector<Object*>{p_o}));
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)"}));

    p_o->setActive(false);
    EXPECT_EQ(ox_test::contents(graph().inactiveObjects()), (std::vector<Object*>{p_o}));
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)"}));
    p_o->setActive(true);
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)"}));
}

TEST(SceneGraph, AltitudeAndSolidnessMoveObjectsBetweenLists) {
    World world(80, 24, 20);
    auto* p_o = new Recorder(Vector(5, 5));
    EXPECT_EQ(p_o->setAltitude(4), 0);
    EXPECT_EQ(ox_test::contents(graph().visibleObjects(4)), (std::vector<Object*>{p_o}));
    EXPECT_TRUE(graph().visibleObjects(2).isEmpty());
    p_o->setVisible(false);
    EXPECT_EQ(p_o->setAltitude(1), 0);
    for (int altitude = 0; altitude <= 4; altitude++) {
        EXPECT_TRUE(graph().visibleObjects(altitude).isEmpty());
    }
    EXPECT_EQ(p_o->setSolidness(ox::SOFT), 0);
    EXPECT_EQ(graph().solidObjects().getCount(), 1);
    EXPECT_EQ(p_o->setSolidness(ox::SPECTRAL), 0);
    EXPECT_TRUE(graph().solidObjects().isEmpty());
    EXPECT_TRUE(graph().getGrid().getBucket({0, 0}).isEmpty());
    EXPECT_FALSE(world.log().contains("SceneGraph::updateSolidness(): Adding to grid."));
    EXPECT_EQ(p_o->setSolidness(ox::SOFT), 0);
    EXPECT_TRUE(world.log().contains("SceneGraph::updateSolidness(): Adding to grid."));
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)"}));
}

TEST(SceneGraph, BadAltitudeQueriesAndInactiveTypeChangesAreReported) {
    World world;
    auto* p_o = new Recorder;
    EXPECT_TRUE(graph().visibleObjects(5).isEmpty());
    EXPECT_TRUE(
        world.log().contains("SceneGraph::visibleObjects(): Warning! altitude 5 not in [0,4]."));
    EXPECT_EQ(graph().updateAltitude(p_o, 7), -1);
    EXPECT_TRUE(world.log().contains(
        "SceneGraph::updateAltitude(): New altitude 7 not in [0,4]!  No update."));

    p_o->setActive(false);
    p_o->setType("Sleeper");
    EXPECT_EQ(p_o->getType(), "Sleeper");
    EXPECT_TRUE(graph().objectsOfType("Sleeper").isEmpty());
    EXPECT_TRUE(world.log().contains("SceneGraph::updateType(): Error! Unable to remove Object (" +
                                     std::to_string(p_o->getId()) + ") type (Undefined)"));
    p_o->setActive(true);
    EXPECT_EQ(ox_test::contents(graph().objectsOfType("Sleeper")), (std::vector<Object*>{p_o}));
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)", "Sleeper"}));
}

TEST(SceneGraph, FailuresAfterGameOverAreSilent) {
    World world;
    auto* p_o = new Recorder;
    p_o->setActive(false);
    ox::GameManager::getInstance().setGameOver(true);
    p_o->setType("Quiet");
    EXPECT_FALSE(world.log().containsPart("SceneGraph::updateType()"));
    EXPECT_EQ(graph().updateType(p_o, "Other"), 0);
    EXPECT_TRUE(graph().objectsOfType("Other").isEmpty());
    ox::GameManager::getInstance().setGameOver(false);
    EXPECT_EQ(graph().updateType(p_o, "Other"), -1);
}

TEST(SceneGraph, RemovingAnObjectThatIsNotThereIsAnError) {
    World world;
    auto* p_o = new Recorder;
    EXPECT_EQ(graph().removeObject(p_o), 0);
    EXPECT_EQ(graph().removeObject(p_o), -1);
    EXPECT_TRUE(world.log().containsPart("SceneGraph::removeObject(): Error removing Object (id " +
                                         std::to_string(p_o->getId()) + ")! Pointer is "));
    EXPECT_EQ(graph().insertObject(p_o), 0);
    EXPECT_TRUE(consistent({p_o}, {"(Undefined)"}));
}

// A long random sequence of setter calls over many objects, with objects
// created and deleted along the way and the boundary changed now and then;
// every invariant is checked after every operation.
TEST(SceneGraph, InvariantsHoldThroughRandomSetterSequences) {
    World world(100, 40);
    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    std::mt19937 random(99);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<>(low, high)(random);
    };
    const std::set<std::string> types{"(Undefined)", "a", "b", "c"};
    std::vector<Object*> objects;
    for (int i = 0; i < 40; i++) {
        objects.push_back(new Recorder(
            Vector(static_cast<float>(pick(-5, 105)), static_cast<float>(pick(-5, 45)))));
    }
    const int operations = 3000;
    for (int step = 0; step < operations; step++) {
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
            case 4: {
                static const char* const names[] = {"(Undefined)", "a", "b", "c"};
                p_o->setType(names[pick(0, 3)]);
                break;
            }
            case 5:
                p_o->setBox(
                    Box(Vector(static_cast<float>(pick(-3, 0)), static_cast<float>(pick(-3, 0))),
                        static_cast<float>(pick(0, 30)), static_cast<float>(pick(0, 12))));
                break;
            case 6:
            case 7:
                p_o->setPosition(Vector(
                    static_cast<float>(pick(-10, 110)) + 0.25f * static_cast<float>(pick(0, 3)),
                    static_cast<float>(pick(-10, 50))));
                break;
            case 8:
                world_manager.moveObject(
                    p_o, p_o->getPosition() + Vector(static_cast<float>(pick(-2, 2)),
                                                     static_cast<float>(pick(-2, 2))));
                break;
            case 9: {  // deletion, and a replacement
                world_manager.markForDelete(p_o);
                world_manager.update();
                objects.erase(std::find(objects.begin(), objects.end(), p_o));
                objects.push_back(new Recorder(
                    Vector(static_cast<float>(pick(0, 100)), static_cast<float>(pick(0, 40)))));
                break;
            }
            case 10:
                if (pick(0, 20) == 0) {
                    world_manager.setBoundary(Box(Vector(0, 0), static_cast<float>(pick(0, 120)),
                                                  static_cast<float>(pick(0, 50))));
                }
                break;
            default:
                p_o->setNoSoft(pick(0, 1) == 1);
                break;
        }
        ASSERT_TRUE(consistent(objects, types))
            << "after operation " << operation << " at step " << step;
    }
}

}  // namespace
