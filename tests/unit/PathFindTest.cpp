#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "EventStep.h"
#include "GameManager.h"
#include "PathFind.h"
#include "PathManager.h"
#include "PathWorld.h"
#include "Platform.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::PathFind;
using ox::PathManager;
using Cell = ox::PathFind::Cell;
using ox_test::PathWalker;
using ox_test::PathWorld;

TEST(PathFind, OnlyTheFirstHardObjectDecidesAndOneCoveringTheGoalIsPassable) {
    ox_test::LogCapture log;
    PathWorld world(10, 6);
    PathWorld::wall(2, 1);
    PathWorld::wall(2, 1)->setBox(ox::Box(ox::Vector(-0.5f, -0.5f), 8.0f, 3.0f));
    PathWorld::wall(1, 5)->setBox(ox::Box(ox::Vector(-0.5f, -2.5f), 9.0f, 3.0f));
    PathWorld::wall(1, 5);
    PathWorld::wall(0, 0)->setSolidness(ox::SOFT);
    PathWorld::wall(0, 0);
    PathWorld::wall(0, 2)->setSolidness(ox::SOFT);

    PathWalker walker(0, 4);
    PathFind search(&walker, {0, 4}, {9, 3});
    // A plain wall before a wide one covering the goal; only the wide wall; a
    // wall covering the goal before a plain one; hard behind soft; soft only;
    // nothing; the walker itself.
    const std::vector<Cell> cells = {{2, 1}, {4, 2}, {1, 5}, {0, 0}, {0, 2}, {0, 3}, {0, 4}};
    const std::vector<bool> blocked = {true, false, false, true, false, false, false};
    for (size_t i = 0; i < cells.size(); i++) {
        EXPECT_EQ(search.isBlocked(cells[i].x, cells[i].y), blocked[i]) << i;
    }
}

TEST(PathFind, TargetSearchEndsWhereTheBoxesTouch) {
    ox_test::LogCapture log;
    PathWorld world(10, 3);
    ox::Object* p_target = PathWorld::wall(6, 1);
    PathWalker walker(1, 1);
    // A walker of 0.99 cells never touches its neighbours: it ends on the
    // target's cell, which counts as free since the target covers the goal.
    PathFind narrow(&walker, {1, 1}, {6, 1}, p_target);
    EXPECT_EQ(ox_test::runToEnd(narrow), PathFind::FOUND);
    EXPECT_EQ(narrow.getPath().getCount(), 6);
    // A whole-cell walker touches the target from the next cell: the search
    // ends there and that cell becomes the goal.
    walker.setBox(ox::Box(ox::Vector(-0.5f, -0.5f), 1.0f, 1.0f));
    PathFind whole(&walker, {1, 1}, {6, 1}, p_target);
    EXPECT_EQ(ox_test::runToEnd(whole), PathFind::FOUND);
    EXPECT_EQ(whole.getGoal(), (Cell{5, 1}));
    EXPECT_EQ(ox_test::cellsOf(whole.getPath()).back(), (Cell{5, 1}));
}

TEST(PathFind, StartOnTheGoalEndsAtOnceWithoutNodeGridOrOutsideFails) {
    ox_test::LogCapture log;
    {
        PathWorld world(10, 10);
        PathWalker walker(3, 4);
        PathFind search(&walker, {3, 4}, {3, 4});
        EXPECT_EQ(search.cycleOnce(), PathFind::FOUND);
        EXPECT_EQ(ox_test::cellsOf(search.getPath()), (std::vector<Cell>{{3, 4}}));
    }
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

using Map = std::vector<std::string>;

// A step the search may take: to a neighbouring free cell (the goal always
// is), and diagonally only when at least one of the two corners is free.
bool legalStep(const Map& map, Cell goal, Cell from, Cell to) {
    const auto blocked = [&](int x, int y) { return map[y][x] == '#' && !(Cell{x, y} == goal); };
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    return std::abs(dx) <= 1 && std::abs(dy) <= 1 && (dx != 0 || dy != 0) && !blocked(to.x, to.y) &&
           !(dx != 0 && dy != 0 && blocked(to.x, from.y) && blocked(from.x, to.y));
}

// The shortest distance, by relaxing every legal step until nothing improves.
double referenceDistance(const Map& map, Cell start, Cell goal) {
    const int rows = static_cast<int>(map.size());
    const int cols = static_cast<int>(map[0].size());
    std::vector<double> d(static_cast<size_t>(rows * cols),
                          std::numeric_limits<double>::infinity());
    d[static_cast<size_t>(start.y * cols + start.x)] = 0.0;
    for (bool changed = true; changed;) {
        changed = false;
        for (int from = 0; from < rows * cols; from++) {
            for (int dy = -1; dy <= 1; dy++) {
                for (int dx = -1; dx <= 1; dx++) {
                    const Cell a{from % cols, from / cols};
                    const Cell b{a.x + dx, a.y + dy};
                    if (b.x < 0 || b.y < 0 || b.x >= cols || b.y >= rows ||
                        !legalStep(map, goal, a, b)) {
                        continue;
                    }
                    const double via = d[static_cast<size_t>(from)] + std::hypot(dx, dy);
                    double& to = d[static_cast<size_t>(b.y * cols + b.x)];
                    changed = changed || via < to;
                    to = std::min(to, via);
                }
            }
        }
    }
    return d[static_cast<size_t>(goal.y * cols + goal.x)];
}

// Length of a step of (dx, dy) cells, as the engine computes it.
float stepLength(int dx, int dy) {
    return static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
}

/// The engine's earlier search, the reference for the heap's order: the open
/// cells in a list in the order they were added, and the open cell of the
/// smallest f found by scanning the list from its end, so that among equal f
/// the cell added last is closed first. Improving an open cell leaves it in
/// its place. Whether a cell is blocked is asked of the engine's search.
class LinearSearch {
public:
    LinearSearch(const PathFind& probe, int cols, int rows)
        : m_probe(probe),
          m_cols(cols),
          m_rows(rows),
          m_nodes(static_cast<size_t>(cols * rows)),
          m_closed(static_cast<size_t>(cols * rows), false) {}

    /// Runs the search to its end; true when the goal was reached.
    bool run() {
        for (Cell current = m_probe.getStart();; current = takeBest()) {
            m_closed[index(current)] = true;
            closed.push_back(current);
            if (current == m_probe.getGoal()) {
                return true;
            }
            for (int dy = -1; dy <= 1; dy++) {
                for (int dx = -1; dx <= 1; dx++) {
                    if ((dx != 0 || dy != 0) && !skip(current, dx, dy)) {
                        reach(current, dx, dy);
                    }
                }
            }
            if (m_open.empty()) {
                return false;
            }
        }
    }

    /// The cells from the start to the goal, following the parents.
    std::vector<Cell> path() const {
        std::vector<Cell> cells = {m_probe.getGoal()};
        while (!(cells.back() == m_probe.getStart())) {
            cells.push_back(m_nodes[index(cells.back())].parent);
        }
        std::ranges::reverse(cells);
        return cells;
    }

    std::vector<Cell> closed;  ///< Closed cells in closing order.

private:
    size_t index(Cell c) const { return static_cast<size_t>(c.y * m_cols + c.x); }

    Cell takeBest() {
        size_t best = m_open.size() - 1;
        float best_f = std::numeric_limits<float>::infinity();
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_nodes[index(m_open[i])].f < best_f) {
                best_f = m_nodes[index(m_open[i])].f;
                best = i;
            }
        }
        const Cell chosen = m_open[best];
        m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(best));
        return chosen;
    }

    bool skip(Cell c, int dx, int dy) const {
        const Cell n{c.x + dx, c.y + dy};
        if (n.x < 0 || n.y < 0 || n.x >= m_cols || n.y >= m_rows || m_closed[index(n)] ||
            m_probe.isBlocked(n.x, n.y)) {
            return true;
        }
        return dx != 0 && dy != 0 && m_probe.isBlocked(c.x + dx, c.y) &&
               m_probe.isBlocked(c.x, c.y + dy);
    }

    void reach(Cell c, int dx, int dy) {
        const Cell n{c.x + dx, c.y + dy};
        const float g = stepLength(dx, dy) + m_nodes[index(c)].g;
        const bool is_open = std::ranges::count(m_open, n) > 0;
        PathFind::Node& node = m_nodes[index(n)];
        if (is_open && g > node.g) {
            return;
        }
        if (!is_open) {
            m_open.push_back(n);
        }
        node.parent = c;
        node.g = g;
        node.f = g + stepLength(m_probe.getGoal().x - n.x, m_probe.getGoal().y - n.y);
    }

    const PathFind& m_probe;
    int m_cols;
    int m_rows;
    std::vector<PathFind::Node> m_nodes;
    std::vector<bool> m_closed;
    std::vector<Cell> m_open;
};

// Every tenth map is taller than a page of search state, and most are wider.
TEST(PathFind, ClosesAsTheLinearSearchDoesAndFindsShortestPathsOnRandomMaps) {
    ox_test::LogCapture log;
    std::mt19937 random(20240611);
    int found = 0;
    int failed = 0;
    for (int round = 0; round < 150; round++) {
        const bool large = round % 10 == 0;
        const int cols = std::uniform_int_distribution<int>(2, large ? 90 : 16)(random);
        const int rows =
            std::uniform_int_distribution<int>(large ? 65 : 2, large ? 75 : 12)(random);
        const double density = std::uniform_real_distribution<double>(0.1, 0.45)(random);
        Map map(static_cast<size_t>(rows), std::string(cols, '.'));
        for (std::string& row : map) {
            std::ranges::generate(
                row, [&] { return std::bernoulli_distribution(density)(random) ? '#' : '.'; });
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
        SCOPED_TRACE("round " + std::to_string(round));
        LinearSearch linear(search, cols, rows);
        const bool linear_found = linear.run();
        EXPECT_EQ(linear_found, result == PathFind::FOUND);
        EXPECT_EQ(search.getClosedList(), linear.closed);
        const std::vector<Cell> path = ox_test::cellsOf(search.getPath());
        EXPECT_EQ(path, linear_found ? linear.path() : std::vector<Cell>{});
        if (large) {
            continue;  // relaxing every step is slow on large maps
        }
        const double reference = referenceDistance(map, start, goal);
        if (std::isinf(reference)) {
            EXPECT_EQ(result, PathFind::FAILED);
            EXPECT_EQ(search.getPath().getCount(), 0);
            failed++;
            continue;
        }
        ASSERT_EQ(result, PathFind::FOUND);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), start);
        EXPECT_EQ(path.back(), goal);
        double length = 0.0;
        for (size_t i = 1; i < path.size(); i++) {
            EXPECT_TRUE(legalStep(map, goal, path[i - 1], path[i]));
            length += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
        }
        EXPECT_NEAR(length, reference, 1e-4);
        EXPECT_NEAR(search.getNode(goal)->g, reference, 1e-3);
        found++;
    }
    EXPECT_GT(found, 50);
    EXPECT_GT(failed, 5);
}

PathManager& pm() {
    return PathManager::getInstance();
}

// Simulated time: every reading of the clock moves it on by a fixed amount.
std::int64_t g_now = 0;
std::int64_t g_tick = 0;

std::vector<std::int64_t> g_sleeps;  // every sleep asked for, in microseconds
std::int64_t g_oversleep = 0;        // extra time the first sleep takes

/// Puts the simulated clock in place for its life; a sleep moves it on by
/// what was asked (the first one by g_oversleep more).
struct TickingClock {
    TickingClock() {
        g_sleeps.clear();
        ox::platform::setTimeSource([] { return g_now += g_tick; },
                                    [](std::int64_t us) {
                                        g_now += us + (g_sleeps.empty() ? g_oversleep : 0);
                                        g_sleeps.push_back(us);
                                    });
    }
    ~TickingClock() { ox::platform::setTimeSource(nullptr, nullptr); }
};

/// Starts the game manager (which starts the path manager) headless with the
/// frame time given, logging at level 5 into the scratch directory.
struct StartedGame {
    explicit StartedGame(int frame_time) : log(5, false) {
        ox_test::writeFile("ox-config.txt",
                           "frame_time:" + std::to_string(frame_time) + ",\nheadless:true,\n");
        EXPECT_EQ(ox::GameManager::getInstance().startUp(), 0);
    }
    ~StartedGame() { ox::GameManager::getInstance().shutDown(); }
    ox_test::LogCapture log;
};

// How many cells one cycle with the budget closes for a search that cannot
// end soon, the clock moving on by g_tick microseconds at every reading.
int cellsClosedInOneCycle(int budget) {
    PathWorld world(200, 200);
    auto* p_walker = new PathWalker(1, 1);
    EXPECT_EQ(p_walker->findPath(PathWalker::cellPosition(198, 198)), 0);
    pm().cycle(budget);
    return static_cast<int>(p_walker->getPathFind()->getClosedList().size());
}

TEST(PathManager, ABudgetOfZeroOrLessStillGetsTheLeastCycleTime) {
    StartedGame game(50);
    const TickingClock clock;
    g_tick = 250;
    const int least = cellsClosedInOneCycle(5);
    EXPECT_GT(least, 1);
    EXPECT_EQ(cellsClosedInOneCycle(0), least);
    EXPECT_EQ(cellsClosedInOneCycle(-40), least);
    EXPECT_GT(cellsClosedInOneCycle(8), least);
    EXPECT_FALSE(game.log.containsPart("PathManager::cycle(): cycle time"));
    // Each reading moves the clock 4 ms: the first step already runs over.
    g_tick = 4000;
    EXPECT_EQ(cellsClosedInOneCycle(0), 1);
    EXPECT_EQ(game.log.count("PathManager::cycle(): cycle time 5 exceeded."), 1);
}

TEST(PathManager, ASearchCutIntoShortCyclesClosesWhatOneRunAtOnceCloses) {
    StartedGame game(50);
    const TickingClock clock;
    g_tick = 1000;  // a few cells in each cycle of 5 ms
    PathWorld world(60, 40);
    std::mt19937 random(7);
    for (int i = 0; i < 500; i++) {
        PathWorld::wall(std::uniform_int_distribution<int>(3, 56)(random),
                        std::uniform_int_distribution<int>(3, 36)(random));
    }
    auto* p_walker = new PathWalker(1, 1);
    PathFind at_once(p_walker, {1, 1}, {58, 38});
    ASSERT_EQ(ox_test::runToEnd(at_once), PathFind::FOUND);
    const std::vector<Cell>& all = at_once.getClosedList();

    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(58, 38)), 0);
    const PathFind* p_cut = p_walker->getPathFind();
    int cycles = 0;
    // Until the outcome arrives, every cycle leaves a longer prefix of the
    // cells closed at once, short of the goal.
    for (size_t closed = 0; p_walker->statuses.empty() && cycles < 10000; cycles++) {
        pm().cycle(0);
        if (p_walker->statuses.empty()) {
            const std::vector<Cell>& cut = p_cut->getClosedList();
            ASSERT_GT(cut.size(), closed);
            ASSERT_LT(cut.size(), all.size());
            ASSERT_TRUE(std::equal(cut.begin(), cut.end(), all.begin()));
            closed = cut.size();
        }
    }
    EXPECT_GT(cycles, 50);
    EXPECT_EQ(p_walker->statuses, std::vector<int>{PathFind::FOUND});
    EXPECT_EQ(ox_test::cellsOf(p_walker->paths[0]), ox_test::cellsOf(at_once.getPath()));
}

TEST(PathManager, EverySearchIsServedAndEachObjectGetsItsResultOnce) {
    ox_test::LogCapture log;
    PathWorld world(12, 8);
    // The last goal, in a corner, is walled off.
    const std::vector<Cell> goals = {{9, 2}, {1, 1}, {8, 7}, {2, 6}, {11, 7}};
    for (const Cell wall :
         {Cell{6, 1}, Cell{6, 2}, Cell{6, 3}, Cell{10, 6}, Cell{11, 6}, Cell{10, 7}}) {
        PathWorld::wall(wall.x, wall.y);
    }
    std::vector<PathWalker*> walkers;
    for (int i = 0; i < 5; i++) {
        walkers.push_back(new PathWalker(i, 3));
        ASSERT_EQ(walkers.back()->findPath(PathWalker::cellPosition(goals[i].x, goals[i].y)), 0);
    }
    pm().cycle(10000);
    EXPECT_EQ(pm().getCount(), 0);
    for (int i = 0; i < 5; i++) {
        SCOPED_TRACE(i);
        const bool found = i < 4;
        ASSERT_EQ(walkers[i]->statuses,
                  std::vector<int>{found ? PathFind::FOUND : PathFind::FAILED});
        const std::vector<Cell> path = ox_test::cellsOf(walkers[i]->paths[0]);
        EXPECT_TRUE(found ? !path.empty() && path.back() == goals[i] : path.empty());
        // The default handling took a found path, follows it and dropped the search.
        EXPECT_EQ(walkers[i]->getPath().getCount(), static_cast<int>(path.size()));
        EXPECT_EQ(walkers[i]->getFollowPath(), found);
        EXPECT_EQ(walkers[i]->getPathFind(), nullptr);
    }
}

TEST(PathManager, ObjectsOwnTheirSearches) {
    ox_test::LogCapture log;
    PathWorld world(10, 10);
    auto* p_walker = new PathWalker(2, 2);
    // A goal outside the world is refused at once.
    EXPECT_EQ(p_walker->findPath(ox::Vector(10.0f, 3.0f)), -1);
    EXPECT_EQ(p_walker->findPath(nullptr), -1);
    EXPECT_EQ(pm().getCount(), 0);
    // Positions are rounded to cells; a second search replaces the first.
    ASSERT_EQ(p_walker->findPath(ox::Vector(7.4f, 6.6f)), 0);
    EXPECT_EQ(p_walker->getPathFind()->getGoal(), (Cell{7, 7}));
    ASSERT_EQ(p_walker->findPath(ox::Vector(3.0f, 8.0f)), 0);
    EXPECT_EQ(pm().getCount(), 1);
    EXPECT_EQ(p_walker->getPathFind()->getGoal(), (Cell{3, 8}));
    EXPECT_EQ(pm().insert(p_walker->getPathFind()), -1);  // never served twice a cycle
    // The object's end drops its search.
    ox::WorldManager::getInstance().markForDelete(p_walker);
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(pm().getCount(), 0);

    // A target that leaves the world is forgotten; the search goes on to its last cell.
    ox::Object* p_target = PathWorld::wall(9, 1);
    p_walker = new PathWalker(1, 1);
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    ox::WorldManager::getInstance().markForDelete(p_target);
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(p_walker->getPathFind()->getTarget(), nullptr);
    pm().cycle(10000);
    ASSERT_EQ(p_walker->statuses, std::vector<int>{PathFind::FOUND});
    EXPECT_EQ(ox_test::cellsOf(p_walker->paths[0]).back(), (Cell{9, 1}));
    // A stopped manager takes no search, and the object keeps none.
    pm().shutDown();
    EXPECT_EQ(p_walker->findPath(PathWalker::cellPosition(3, 3)), -1);
    EXPECT_EQ(p_walker->getPathFind(), nullptr);
    EXPECT_TRUE(log.contains("PathManager::insert(): Error! PathManager not started."));
}

TEST(PathManager, AnObjectWalksItsPathToTheGoalAndStops) {
    ox_test::LogCapture log;
    PathWorld world(12, 8);
    Cell start;
    Cell goal;
    PathWorld::build({"............", "..S..#......", ".....#..G...", ".....#......",
                      ".....#......", "............", "............", "............"},
                     start, goal);
    auto* p_walker = new PathWalker(start.x, start.y);
    // A soft walker: a diagonal step past a wall corner brushes the wall. Its
    // speed does not divide a cell: it arrives only by taking a waypoint
    // within three quarters of a step as reached.
    p_walker->setSolidness(ox::SOFT);
    p_walker->setSpeed(0.4f);
    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(goal.x, goal.y)), 0);
    for (int steps = 0; !p_walker->getFollowPath() && steps < 10; steps++) {
        pm().cycle(1);
    }
    ASSERT_TRUE(p_walker->getFollowPath());
    // Over the wall's top end, the shorter way round.
    const std::vector<Cell> cells = ox_test::cellsOf(p_walker->getPath());
    EXPECT_NE(std::find(cells.begin(), cells.end(), Cell{5, 0}), cells.end());
    for (int steps = 0; steps < 200 && p_walker->getFollowPath(); steps++) {
        ox::WorldManager::getInstance().update();
        const ox::Vector p = p_walker->getPosition();
        // Never inside the wall's cells (x 5, y 1 to 4).
        EXPECT_FALSE(p.getX() > 4.5f && p.getX() < 5.5f && p.getY() > 0.5f && p.getY() < 4.5f)
            << p.toString();
    }
    EXPECT_FALSE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getDirection(), ox::Vector());
    ox::WorldManager::getInstance().update();  // it stays there
    EXPECT_EQ(p_walker->getPosition(), PathWalker::cellPosition(goal.x, goal.y));
}

TEST(PathManager, GivenATenthOfTheFrameAndServedByTheLoop) {
    StartedGame game(50);
    EXPECT_EQ(pm().getMinCycleTime(), 5);
    PathWorld world(30, 10);
    auto* p_walker = new PathWalker(1, 1);
    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(28, 8)), 0);
    // Ends the game once the walker has heard from its search, or after 500 steps.
    auto* p_referee = new ox_test::Recorder(ox::Vector(1, 1), ox::SPECTRAL);
    p_referee->registerInterest(ox::STEP_EVENT);
    p_referee->reaction = [p_walker, steps = 0](ox_test::Recorder&, const ox::Event*) mutable {
        ox::GameManager::getInstance().setGameOver(!p_walker->statuses.empty() || ++steps >= 500);
    };
    ox::GameManager::getInstance().run();
    EXPECT_EQ(p_walker->statuses, std::vector<int>{PathFind::FOUND});
    EXPECT_EQ(pm().getCount(), 0);
}

// A search that cannot end soon, in the loop: each step's searches take 95%
// of what is left of the frame after the step's work and its lateness, so
// the loop sleeps the other 5%.
TEST(PathManager, SearchesTakeTheirShareOfWhatIsLeftOfEachFrame) {
    StartedGame game(400);
    const TickingClock clock;
    g_tick = 20;
    g_oversleep = 100000;  // step 1 starts 100 ms late
    PathWorld world(200, 200);
    for (const Cell wall :
         {Cell{197, 197}, Cell{197, 198}, Cell{197, 199}, Cell{198, 197}, Cell{199, 197}}) {
        PathWorld::wall(wall.x, wall.y);
    }
    auto* p_walker = new PathWalker(1, 1);
    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(198, 198)), 0);
    auto* p_referee = new ox_test::Recorder(ox::Vector(1, 1), ox::SPECTRAL);
    p_referee->registerInterest(ox::STEP_EVENT);
    p_referee->reaction = [](ox_test::Recorder&, const ox::Event* p_e) {
        ox::GameManager::getInstance().setGameOver(
            static_cast<const ox::EventStep*>(p_e)->getStepCount() == 1);
    };
    ox::GameManager::getInstance().run();
    g_oversleep = 0;
    EXPECT_TRUE(p_walker->statuses.empty());
    ASSERT_EQ(g_sleeps.size(), 2u);
    const std::int64_t left[] = {400000, 300000};
    for (size_t i = 0; i < 2; i++) {
        EXPECT_NEAR(static_cast<double>(g_sleeps[i]), 0.05 * left[i], 1500.0) << "step " << i;
    }
}

}  // namespace
