#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "SceneGraph.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Object;
using ox::Vector;
using Lists = std::map<std::string, std::vector<const Object*>>;

const std::vector<std::string> TYPES = {"(Undefined)", "a", "b", "c"};

std::string bucketName(ox::Grid::Cell cell) {
    return "bucket " + std::to_string(cell.col) + "," + std::to_string(cell.row);
}

void sortAll(Lists& lists) {
    for (auto& entry : lists) {
        std::sort(entry.second.begin(), entry.second.end());
    }
}

/// Every list of the scene graph and every grid bucket, by name.
Lists actualLists() {
    const ox::SceneGraph& g = ox::WorldManager::getInstance().getSceneGraph();
    Lists lists;
    const auto add = [&](const std::string& name, const ox::ObjectList& list) {
        for (const Object* p_o : ox_test::contents(list)) {
            lists[name].push_back(p_o);
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
    sortAll(lists);
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
            lists["inactive"].push_back(p_o);
            continue;
        }
        lists["active"].push_back(p_o);
        lists["type " + p_o->getType()].push_back(p_o);
        if (p_o->isVisible()) {
            lists["visible " + std::to_string(p_o->getAltitude())].push_back(p_o);
        }
        if (p_o->isSolid()) {
            lists["solid"].push_back(p_o);
            for (const ox::Grid::Cell& cell : grid.getCells(p_o, p_o->getPosition())) {
                lists[bucketName(cell)].push_back(p_o);
            }
        }
    }
    sortAll(lists);
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

}  // namespace
