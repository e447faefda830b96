#pragma once

#include <string>
#include <vector>

#include "Box.h"
#include "EventPath.h"
#include "Object.h"
#include "PathFind.h"
#include "PathManager.h"
#include "Vector.h"
#include "WorldManager.h"

namespace ox_test {

/// An object that remembers every "ox-path" event it receives before the
/// default handling (take the path, follow it, drop the search).
class PathWalker : public ox::Object {
public:
    /// A walker at the cell (x, y).
    PathWalker(int x, int y) { setPosition(cellPosition(x, y)); }

    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::PATH_EVENT) {
            const auto* p_path_event = static_cast<const ox::EventPath*>(p_e);
            statuses.push_back(p_path_event->getStatus());
            paths.push_back(p_path_event->getPath());
        }
        return Object::eventHandler(p_e);
    }

    /// The world position of the cell (x, y).
    static ox::Vector cellPosition(int x, int y) {
        return ox::Vector(static_cast<float>(x), static_cast<float>(y));
    }

    std::vector<int> statuses;    ///< Status of each path event, in order.
    std::vector<ox::Path> paths;  ///< Path of each path event, in order.
};

/// Starts the world manager on a boundary of cols x rows cells and the path
/// manager (each unless started); stops both (deleting every object left) on
/// destruction. Needs a started log manager.
class PathWorld {
public:
    PathWorld(int cols, int rows) {
        ox::WorldManager& world = ox::WorldManager::getInstance();
        if (!world.isStarted()) {
            world.startUp();
        }
        world.setBoundary(
            ox::Box(ox::Vector(), static_cast<float>(cols), static_cast<float>(rows)));
        if (!ox::PathManager::getInstance().isStarted()) {
            ox::PathManager::getInstance().startUp();
        }
    }
    ~PathWorld() {
        if (ox::PathManager::getInstance().isStarted()) {
            ox::PathManager::getInstance().shutDown();
        }
        if (ox::WorldManager::getInstance().isStarted()) {
            ox::WorldManager::getInstance().shutDown();
        }
    }
    PathWorld(const PathWorld&) = delete;
    PathWorld& operator=(const PathWorld&) = delete;

    /// A HARD one-cell obstacle at (x, y); it belongs to the world.
    static ox::Object* wall(int x, int y) {
        auto* p_o = new ox::Object;
        p_o->setPosition(PathWalker::cellPosition(x, y));
        return p_o;
    }

    /// Walls on every cell marked '#' of a map given row by row; returns the
    /// cells of 'S' and 'G' through start and goal when present.
    static void build(const std::vector<std::string>& rows, ox::PathFind::Cell& start,
                      ox::PathFind::Cell& goal) {
        for (int y = 0; y < static_cast<int>(rows.size()); y++) {
            for (int x = 0; x < static_cast<int>(rows[y].size()); x++) {
                const char c = rows[y][x];
                if (c == '#') {
                    wall(x, y);
                } else if (c == 'S') {
                    start = {x, y};
                } else if (c == 'G') {
                    goal = {x, y};
                }
            }
        }
    }
};

/// Runs a search until it ends (or max_cycles calls); the last result.
inline int runToEnd(ox::PathFind& search, int max_cycles = 100000) {
    int result = ox::PathFind::SEARCHING;
    for (int i = 0; i < max_cycles && result == ox::PathFind::SEARCHING; i++) {
        result = search.cycleOnce();
    }
    return result;
}

/// The waypoints of a path as cells.
inline std::vector<ox::PathFind::Cell> cellsOf(const ox::Path& path) {
    std::vector<ox::PathFind::Cell> cells;
    for (const ox::Vector& v : path.getWaypoints()) {
        cells.push_back({static_cast<int>(v.getX()), static_cast<int>(v.getY())});
    }
    return cells;
}

}  // namespace ox_test
