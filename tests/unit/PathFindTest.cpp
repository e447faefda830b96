#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "Object.h"
#include "PathFind.h"
#include "PathWorld.h"
#include "WorldManager.h"

namespace {

using ox::PathFind;
using Cell = ox::PathFind::Cell;
using ox_test::PathWalker;
using ox_test::PathWorld;

bool inList(const std::vector<Cell>& cells, Cell cell) {
    return std::find(cells.begin(), cells.end(), cell) != cells.end();
}

TEST(PathFind, StartEqualToGoalEndsAtOnceWithOneWaypoint) {
    ox_test::LogCapture log;
    PathWorld world(10, 10);
    PathWalker walker(3, 4);
    PathFind search(&walker, {3, 4}, {3, 4});
    EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
    EXPECT_EQ(ox_test::cellsOf(search.getPath()), (std::vector<Cell>{{3, 4}}));
    EXPECT_EQ(search.getPath().getIndex(), 0);
    // An ended search does no more work when cycled again.
    EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
    EXPECT_EQ(search.getClosedList().size(), 1u);
    EXPECT_TRUE(search.getOpenList().empty());
}

TEST(PathFind, AmongEqualCostsTheCellAddedLastIsClosedFirst) {
    ox_test::LogCapture log;
    PathWorld world(5, 5);
    PathWorld::wall(2, 3);
    PathWalker walker(2, 2);
    PathFind search(&walker, {2, 2}, {2, 4});

    // The first cycle closes the start and opens its free neighbours, row by
    // row, left to right.
    EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
    const std::vector<Cell> first_open = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {3, 3}};
    EXPECT_EQ(search.getOpenList(), first_open);
    // Costs are computed in double and kept as float.
    const float diagonal = static_cast<float>(std::sqrt(2.0));
    const PathFind::Node* p_corner = search.getNode({1, 1});
    ASSERT_NE(p_corner, nullptr);
    EXPECT_EQ(p_corner->g, diagonal);
    EXPECT_EQ(p_corner->f, diagonal + static_cast<float>(std::sqrt(10.0)));
    EXPECT_EQ(p_corner->parent, (Cell{2, 2}));
    EXPECT_EQ(search.getNode({2, 1})->f, 4.0f);

    // (1,3) and (3,3) tie on the smallest f; (3,3) was added last.
    EXPECT_EQ(search.getNode({1, 3})->f, search.getNode({3, 3})->f);
    EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
    EXPECT_EQ(search.getClosedList().back(), (Cell{3, 3}));
    // (3,2) is not improved by the longer way round and keeps its place;
    // the new cells follow in neighbour order.
    const std::vector<Cell> second_open = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3},
                                           {4, 2}, {4, 3}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(search.getOpenList(), second_open);
    EXPECT_EQ(search.getNode({3, 2})->g, 1.0f);

    // The goal now ties with (1,3) and, added later, wins.
    EXPECT_EQ(search.getNode({2, 4})->f, search.getNode({1, 3})->f);
    EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
    const std::vector<Cell> expected = {{2, 2}, {3, 3}, {2, 4}};
    EXPECT_EQ(ox_test::cellsOf(search.getPath()), expected);
}

TEST(PathFind, DiagonalStepPassesOneBlockedCornerButNotTwo) {
    ox_test::LogCapture log;
    for (const bool both : {true, false}) {
        PathWorld world(4, 4);
        PathWorld::wall(2, 1);
        if (both) {
            PathWorld::wall(1, 2);
        }
        PathWalker walker(1, 1);
        PathFind search(&walker, {1, 1}, {2, 2});
        EXPECT_EQ(search.cycleOnce(), PathFind::SEARCHING);
        EXPECT_EQ(inList(search.getOpenList(), {2, 2}), !both);
        EXPECT_EQ(ox_test::runToEnd(search), PathFind::FOUND);
        // The way round passes one blocked corner on each diagonal step.
        const std::vector<Cell> path = ox_test::cellsOf(search.getPath());
        ASSERT_EQ(path.size(), both ? 4u : 2u);
        EXPECT_EQ(path.back(), (Cell{2, 2}));
        EXPECT_TRUE(!both || path[1] == (Cell{2, 0}) || path[1] == (Cell{0, 2}));
    }
}

TEST(PathFind, WalledOffGoalFailsAfterClosingEveryReachableCell) {
    ox_test::LogCapture log;
    PathWorld world(7, 7);
    Cell start;
    Cell goal;
    PathWorld::build({".......", ".S.....", ".......", ".......", "....###", "....#G#", "....###"},
                     start, goal);
    PathWalker walker(start.x, start.y);
    PathFind search(&walker, start, goal);
    EXPECT_EQ(ox_test::runToEnd(search), PathFind::FAILED);
    EXPECT_EQ(search.getPath().getCount(), 0);
    EXPECT_EQ(search.getClosedList().size(), 49u - 9u);
    EXPECT_EQ(search.cycleOnce(), PathFind::FAILED);
    EXPECT_EQ(search.getClosedList().size(), 49u - 9u);
}

TEST(PathFind, OnlyTheFirstHardObjectDecidesAndOneCoveringTheGoalIsPassable) {
    ox_test::LogCapture log;
    PathWorld world(10, 6);
    const Cell goal{9, 3};
    // A plain wall, then a wide one covering the goal, on the same cell.
    PathWorld::wall(2, 1);
    ox::Object* p_wide = PathWorld::wall(2, 1);
    p_wide->setBox(ox::Box(ox::Vector(-0.5f, -0.5f), 8.0f, 3.0f));
    // A wall covering the goal, then a plain one, on another cell.
    ox::Object* p_low = PathWorld::wall(1, 5);
    p_low->setBox(ox::Box(ox::Vector(-0.5f, -2.5f), 9.0f, 3.0f));
    PathWorld::wall(1, 5);
    // Soft objects are passed over.
    ox::Object* p_soft = PathWorld::wall(0, 0);
    p_soft->setSolidness(ox::SOFT);
    PathWorld::wall(0, 0);
    PathWorld::wall(0, 2)->setSolidness(ox::SOFT);

    PathWalker walker(0, 4);
    PathFind search(&walker, {0, 4}, goal);
    // The plain wall comes first; only the wide wall, which covers the goal;
    // the low wall comes first and covers the goal; the hard wall behind the
    // soft one; soft only; nothing; the walker itself.
    const std::vector<Cell> cells = {{2, 1}, {4, 2}, {1, 5}, {0, 0}, {0, 2}, {0, 3}, {0, 4}};
    const std::vector<bool> blocked = {true, false, false, true, false, false, false};
    for (size_t i = 0; i < cells.size(); i++) {
        EXPECT_EQ(search.isBlocked(cells[i].x, cells[i].y), blocked[i]) << i;
    }

    // The search can end on the goal under a hard object.
    EXPECT_EQ(ox_test::runToEnd(search), PathFind::FOUND);
    EXPECT_EQ(ox_test::cellsOf(search.getPath()).back(), goal);
}

TEST(PathFind, TargetSearchEndsWhereTheBoxesTouch) {
    ox_test::LogCapture log;
    PathWorld world(10, 3);
    ox::Object* p_target = PathWorld::wall(6, 1);
    PathWalker walker(1, 1);
    {
        // A walker of 0.99 cells never touches its neighbours: it ends on the
        // target's cell, which counts as free since the target covers the goal.
        PathFind search(&walker, {1, 1}, {6, 1}, p_target);
        EXPECT_EQ(ox_test::runToEnd(search), PathFind::FOUND);
        EXPECT_EQ(search.getGoal(), (Cell{6, 1}));
        EXPECT_EQ(search.getPath().getCount(), 6);
    }
    {
        // A whole-cell walker touches the target from the next cell: the
        // search ends there and that cell becomes the goal.
        walker.setBox(ox::Box(ox::Vector(-0.5f, -0.5f), 1.0f, 1.0f));
        PathFind search(&walker, {1, 1}, {6, 1}, p_target);
        EXPECT_EQ(ox_test::runToEnd(search), PathFind::FOUND);
        EXPECT_EQ(search.getGoal(), (Cell{5, 1}));
        const std::vector<Cell> expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}};
        EXPECT_EQ(ox_test::cellsOf(search.getPath()), expected);
    }
}

TEST(PathFind, WithoutNodeGridOrWithStartOutsideTheSearchFails) {
    ox_test::LogCapture log;
    {
        PathWorld world(3, 0);  // partial cells at the edge are not part of the grid
        PathWalker walker(0, 0);
        PathFind search(&walker, {0, 0}, {0, 0});
        EXPECT_FALSE(search.hasNodes());
        EXPECT_EQ(search.cycleOnce(), PathFind::FAILED);
        EXPECT_EQ(search.getPath().getCount(), 0);
        EXPECT_TRUE(
            log.contains("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."));
    }
    PathWorld world(5, 5);
    PathWalker walker(1, 1);
    PathFind search(&walker, {7, 1}, {1, 1});
    EXPECT_EQ(search.cycleOnce(), PathFind::FAILED);
    EXPECT_TRUE(log.contains("PathFind::cycleOnce(): Error! Start (7,1) is outside the world."));
    // Positions round to cells; nonsense lies outside.
    EXPECT_EQ(PathFind::cellAt(ox::Vector(2.4f, 2.6f)), (Cell{2, 3}));
    EXPECT_EQ(PathFind::cellAt(ox::Vector(-3.7f, 1e20f)), (Cell{-4, -1}));
    EXPECT_EQ(PathFind::cellAt(ox::Vector(std::nanf(""), 1.0f)), (Cell{-1, 1}));
}

// A shortest-path reference over the same moves and costs: eight neighbours,
// no diagonal between two blocked cells, the goal always passable.
double referenceDistance(const std::vector<std::string>& map, Cell start, Cell goal) {
    const int rows = static_cast<int>(map.size());
    const int cols = static_cast<int>(map[0].size());
    auto blocked = [&](int x, int y) { return map[y][x] == '#' && !(Cell{x, y} == goal); };
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> dist(static_cast<size_t>(rows * cols), infinity);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    dist[start.y * cols + start.x] = 0.0;
    queue.push({0.0, start.y * cols + start.x});
    while (!queue.empty()) {
        const auto [d, index] = queue.top();
        queue.pop();
        if (d > dist[index]) {
            continue;
        }
        const int x = index % cols;
        const int y = index / cols;
        for (int dy = -1; dy <= 1; dy++) {
            for (int dx = -1; dx <= 1; dx++) {
                const int nx = x + dx;
                const int ny = y + dy;
                if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= cols || ny >= rows ||
                    blocked(nx, ny) || (dx != 0 && dy != 0 && blocked(nx, y) && blocked(x, ny))) {
                    continue;
                }
                const double next = d + std::sqrt(static_cast<double>(dx * dx + dy * dy));
                if (next < dist[ny * cols + nx]) {
                    dist[ny * cols + nx] = next;
                    queue.push({next, ny * cols + nx});
                }
            }
        }
    }
    return dist[goal.y * cols + goal.x];
}

// The length of a path, after checking every step is a legal move.
double checkedLength(const std::vector<std::string>& map, const std::vector<Cell>& path,
                     Cell goal) {
    auto blocked = [&](int x, int y) { return map[y][x] == '#' && !(Cell{x, y} == goal); };
    double length = 0.0;
    for (size_t i = 1; i < path.size(); i++) {
        const int dx = path[i].x - path[i - 1].x;
        const int dy = path[i].y - path[i - 1].y;
        EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1 && (dx != 0 || dy != 0));
        EXPECT_FALSE(blocked(path[i].x, path[i].y));
        EXPECT_FALSE(dx != 0 && dy != 0 && blocked(path[i].x, path[i - 1].y) &&
                     blocked(path[i - 1].x, path[i].y));
        length += std::sqrt(static_cast<double>(dx * dx + dy * dy));
    }
    return length;
}

TEST(PathFind, PathsAreShortestOnRandomMaps) {
    ox_test::LogCapture log;
    std::mt19937 random(20240611);
    int found = 0;
    int failed = 0;
    for (int round = 0; round < 150; round++) {
        const int cols = std::uniform_int_distribution<int>(2, 16)(random);
        const int rows = std::uniform_int_distribution<int>(2, 12)(random);
        const double density = std::uniform_real_distribution<double>(0.1, 0.45)(random);
        std::vector<std::string> map(static_cast<size_t>(rows), std::string(cols, '.'));
        for (std::string& row : map) {
            for (char& c : row) {
                c = std::bernoulli_distribution(density)(random) ? '#' : '.';
            }
        }
        std::uniform_int_distribution<int> pick_x(0, cols - 1);
        std::uniform_int_distribution<int> pick_y(0, rows - 1);
        const Cell start{pick_x(random), pick_y(random)};
        const Cell goal{pick_x(random), pick_y(random)};
        map[start.y][start.x] = 'S';
        // Now and then the goal lies under a wall, which the walker may enter.
        if (!(goal == start) && std::bernoulli_distribution(0.7)(random)) {
            map[goal.y][goal.x] = '.';
        }

        PathWorld world(cols, rows);
        Cell unused;
        PathWorld::build(map, unused, unused);
        PathWalker walker(start.x, start.y);
        PathFind search(&walker, start, goal);
        const int result = ox_test::runToEnd(search);
        const double reference = referenceDistance(map, start, goal);
        SCOPED_TRACE("round " + std::to_string(round));
        if (std::isinf(reference)) {
            EXPECT_EQ(result, PathFind::FAILED);
            EXPECT_EQ(search.getPath().getCount(), 0);
            failed++;
            continue;
        }
        ASSERT_EQ(result, PathFind::FOUND);
        const std::vector<Cell> path = ox_test::cellsOf(search.getPath());
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), start);
        EXPECT_EQ(path.back(), goal);
        EXPECT_NEAR(checkedLength(map, path, goal), reference, 1e-4);
        EXPECT_NEAR(search.getNode(goal)->g, reference, 1e-3);
        found++;
    }
    EXPECT_GT(found, 50);
    EXPECT_GT(failed, 5);
}

}  // namespace
