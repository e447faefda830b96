#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "Object.h"
#include "PathFind.h"
#include "PathManager.h"
#include "PathWorld.h"
#include "Platform.h"
#include "ScratchDir.h"
#include "WorldManager.h"

namespace {

using ox::PathFind;
using ox::PathManager;
using Cell = ox::PathFind::Cell;
using ox_test::PathWalker;
using ox_test::PathWorld;

// Simulated time: every reading of the clock moves it on by a fixed amount.
std::int64_t g_now = 0;
std::int64_t g_tick = 0;

std::int64_t tickingNow() {
    g_now += g_tick;
    return g_now;
}

void noSleep(std::int64_t) {}

/// Restores the system clock when the test ends.
struct TickingClock {
    explicit TickingClock(std::int64_t tick) {
        g_tick = tick;
        ox::platform::setTimeSource(tickingNow, noSleep);
    }
    ~TickingClock() { ox::platform::setTimeSource(nullptr, nullptr); }
};

/// Starts the game manager (which starts the path manager) with the frame
/// time given, on a headless display, logging at level 5 into the scratch
/// directory.
struct StartedGame {
    explicit StartedGame(int frame_time) : log(5, false) {
        ox_test::writeFile("ox-config.txt",
                           "frame_time:" + std::to_string(frame_time) + ",\nheadless:true,\n");
        started = ox::GameManager::getInstance().startUp();
    }
    ~StartedGame() {
        if (ox::GameManager::getInstance().isStarted()) {
            ox::GameManager::getInstance().shutDown();
        }
    }
    ox_test::LogCapture log;
    int started;
};

int indexOf(const std::vector<std::string>& messages, const std::string& message) {
    for (size_t i = 0; i < messages.size(); i++) {
        if (messages[i] == message) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(PathManager, StartsLastWithATenthOfTheFrameTimeAndStopsFirst) {
    StartedGame game(50);
    ASSERT_EQ(game.started, 0);
    PathManager& paths = PathManager::getInstance();
    EXPECT_TRUE(paths.isStarted());
    EXPECT_EQ(paths.getType(), "PathManager");
    EXPECT_EQ(paths.getMinCycleTime(), 5);
    EXPECT_EQ(paths.startUp(), -1);
    EXPECT_TRUE(game.log.contains("PathManager::startup(): Warning! PathManager already started."));

    ox::GameManager::getInstance().shutDown();
    EXPECT_FALSE(paths.isStarted());
    const std::vector<std::string> messages = game.log.messages();
    const int started = indexOf(messages, "Path manager started.");
    ASSERT_GE(started, 0);
    EXPECT_EQ(indexOf(messages, "PathManager::startUp(): successfully started."), started - 1);
    // No manager starts after the path manager.
    for (size_t i = static_cast<size_t>(started) + 1; i < messages.size(); i++) {
        EXPECT_EQ(messages[i].find("manager started."), std::string::npos) << messages[i];
    }
    const int stopped = indexOf(messages, "Path manager stopped");
    ASSERT_GT(stopped, started);
    EXPECT_EQ(indexOf(messages, "PathManager::shutDown(): successfully stopped."), stopped - 1);
    // No manager stops before it.
    for (int i = started + 1; i < stopped; i++) {
        EXPECT_EQ(messages[i].find("manager stopped"), std::string::npos) << messages[i];
    }
}

// How many cells one cycle with the budget closes for a search that cannot
// end soon, the clock moving on by tick microseconds at every reading.
int cellsClosedInOneCycle(int budget) {
    PathWorld world(200, 200);
    auto* p_walker = new PathWalker(1, 1);
    EXPECT_EQ(p_walker->findPath(PathWalker::cellPosition(198, 198)), 0);
    PathManager::getInstance().cycle(budget);
    EXPECT_EQ(PathManager::getInstance().getCount(), 1);
    return static_cast<int>(p_walker->getPathFind()->getClosedList().size());
}

TEST(PathManager, ABudgetOfZeroOrLessStillGetsTheLeastCycleTime) {
    StartedGame game(50);
    ASSERT_EQ(game.started, 0);
    TickingClock clock(250);
    const int least = cellsClosedInOneCycle(5);
    EXPECT_GT(least, 1);
    EXPECT_EQ(cellsClosedInOneCycle(0), least);
    EXPECT_EQ(cellsClosedInOneCycle(-40), least);
    EXPECT_EQ(cellsClosedInOneCycle(3), least);
    EXPECT_GT(cellsClosedInOneCycle(8), least);
    EXPECT_FALSE(game.log.containsPart("PathManager::cycle(): cycle time"));
}

TEST(PathManager, ACycleThatRunsOverLogsItsLimit) {
    StartedGame game(50);
    ASSERT_EQ(game.started, 0);
    // Each reading moves the clock 4 ms: the first step already runs over.
    TickingClock clock(4000);
    EXPECT_EQ(cellsClosedInOneCycle(0), 1);
    EXPECT_EQ(game.log.count("PathManager::cycle(): cycle time 5 exceeded."), 1);
}

TEST(PathManager, InsertAndRemoveRefuseWhatTheyCannotDo) {
    ox_test::LogCapture log;
    PathWorld world(5, 5);
    PathManager& paths = PathManager::getInstance();
    PathWalker walker(1, 1);
    PathFind first(&walker, {1, 1}, {3, 3});
    PathFind second(&walker, {1, 1}, {3, 3});

    EXPECT_EQ(paths.insert(nullptr), -1);
    EXPECT_TRUE(log.contains("PathManager::insert(): Error! PathFind is NULL."));
    EXPECT_EQ(paths.insert(&first), 0);
    EXPECT_EQ(paths.insert(&first), -1);
    EXPECT_TRUE(log.containsPart("already in the list."));
    EXPECT_EQ(paths.insert(&second), 0);
    EXPECT_EQ(paths.getCount(), 2);

    EXPECT_EQ(paths.remove(nullptr), -1);
    EXPECT_TRUE(log.contains("PathManager::remove(): Error! PathFind is NULL."));
    EXPECT_EQ(paths.remove(&first), 0);
    EXPECT_EQ(paths.remove(&first), -1);
    EXPECT_TRUE(log.containsPart("not in the list."));
    EXPECT_EQ(paths.getCount(), 1);
    EXPECT_EQ(paths.remove(&second), 0);
    EXPECT_EQ(paths.getCount(), 0);
    paths.cycle(1000);  // nothing to do: returns at once

    paths.shutDown();
    EXPECT_EQ(paths.insert(&first), -1);
    EXPECT_TRUE(log.contains("PathManager::insert(): Error! PathManager not started."));
    // An object cannot start a search then, and keeps none.
    EXPECT_EQ(walker.findPath(PathWalker::cellPosition(3, 3)), -1);
    EXPECT_EQ(walker.getPathFind(), nullptr);
}

TEST(PathManager, EverySearchIsServedAndEachObjectGetsItsPathOnce) {
    ox_test::LogCapture log;
    PathWorld world(12, 8);
    Cell unused_start;
    Cell unused_goal;
    PathWorld::build({"............", ".....#......", ".....#......", ".....#......",
                      ".....#......", "......###...", "............", "............"},
                     unused_start, unused_goal);
    std::vector<PathWalker*> walkers;
    const std::vector<Cell> goals = {{9, 2}, {1, 1}, {8, 7}, {2, 6}};
    for (int i = 0; i < 4; i++) {
        walkers.push_back(new PathWalker(1 + i, 3));
        ASSERT_EQ(walkers.back()->findPath(PathWalker::cellPosition(goals[i].x, goals[i].y)), 0);
    }
    EXPECT_EQ(PathManager::getInstance().getCount(), 4);
    PathManager::getInstance().cycle(10000);
    EXPECT_EQ(PathManager::getInstance().getCount(), 0);
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        ASSERT_EQ(walkers[i]->statuses, std::vector<int>{PathFind::FOUND});
        const std::vector<Cell> path = ox_test::cellsOf(walkers[i]->paths[0]);
        EXPECT_EQ(path.front(), (Cell{1 + i, 3}));
        EXPECT_EQ(path.back(), goals[i]);
        // The default handling took the path, follows it and dropped the search.
        EXPECT_EQ(walkers[i]->getPath().getCount(), static_cast<int>(path.size()));
        EXPECT_TRUE(walkers[i]->getFollowPath());
        EXPECT_EQ(walkers[i]->getPathFind(), nullptr);
    }
}

TEST(PathManager, FailedSearchesReachTheObjectWithAnEmptyPath) {
    ox_test::LogCapture log;
    {
        PathWorld world(7, 7);
        Cell start;
        Cell goal;
        PathWorld::build(
            {"S......", ".......", ".....#.", "....#G#", ".....#.", ".......", "......."}, start,
            goal);
        auto* p_walker = new PathWalker(start.x, start.y);
        ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(goal.x, goal.y)), 0);
        PathManager::getInstance().cycle(10000);
        ASSERT_EQ(p_walker->statuses, std::vector<int>{PathFind::FAILED});
        EXPECT_EQ(p_walker->paths[0].getCount(), 0);
        EXPECT_FALSE(p_walker->getFollowPath());
        EXPECT_EQ(p_walker->getPathFind(), nullptr);
        EXPECT_EQ(PathManager::getInstance().getCount(), 0);
    }
    {
        // A world without a whole cell has no node grid.
        PathWorld world(0, 0);
        auto* p_walker = new PathWalker(0, 0);
        ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(0, 0)), 0);
        PathManager::getInstance().cycle(1000);
        ASSERT_EQ(p_walker->statuses, std::vector<int>{PathFind::FAILED});
        EXPECT_EQ(p_walker->paths[0].getCount(), 0);
        EXPECT_TRUE(
            log.contains("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."));
        EXPECT_EQ(PathManager::getInstance().getCount(), 0);
    }
}

TEST(PathManager, ObjectsOwnTheirSearches) {
    ox_test::LogCapture log;
    PathWorld world(10, 10);
    PathManager& paths = PathManager::getInstance();
    auto* p_walker = new PathWalker(2, 2);

    // A goal or a start outside the world is refused at once.
    EXPECT_EQ(p_walker->findPath(ox::Vector(10.0f, 3.0f)), -1);
    EXPECT_TRUE(log.containsPart("Object::findPath(): Error! Position (2,2) or goal (10,3)"));
    EXPECT_EQ(p_walker->findPath(nullptr), -1);
    EXPECT_TRUE(log.contains("Object::findPath(): Error! Target is NULL."));
    EXPECT_EQ(paths.getCount(), 0);

    // Positions are rounded to cells; a second search replaces the first.
    ASSERT_EQ(p_walker->findPath(ox::Vector(7.4f, 6.6f)), 0);
    PathFind* p_first = p_walker->getPathFind();
    ASSERT_NE(p_first, nullptr);
    EXPECT_EQ(p_first->getStart(), (Cell{2, 2}));
    EXPECT_EQ(p_first->getGoal(), (Cell{7, 7}));
    ASSERT_EQ(p_walker->findPath(ox::Vector(3.0f, 8.0f)), 0);
    EXPECT_EQ(paths.getCount(), 1);
    EXPECT_EQ(p_walker->getPathFind()->getGoal(), (Cell{3, 8}));

    // The object's end drops its search.
    ox::WorldManager::getInstance().markForDelete(p_walker);
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(paths.getCount(), 0);
}

TEST(PathManager, ATargetThatLeavesTheWorldIsForgotten) {
    ox_test::LogCapture log;
    PathWorld world(12, 3);
    ox::Object* p_target = PathWorld::wall(9, 1);
    auto* p_walker = new PathWalker(1, 1);
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    EXPECT_EQ(p_walker->getPathFind()->getTarget(), p_target);
    ox::WorldManager::getInstance().markForDelete(p_target);
    ox::WorldManager::getInstance().update();
    EXPECT_EQ(p_walker->getPathFind()->getTarget(), nullptr);
    // The search goes on to the target's last cell.
    PathManager::getInstance().cycle(10000);
    ASSERT_EQ(p_walker->statuses, std::vector<int>{PathFind::FOUND});
    EXPECT_EQ(ox_test::cellsOf(p_walker->paths[0]).back(), (Cell{9, 1}));
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
    // A soft walker: a diagonal step past a wall corner brushes the wall.
    p_walker->setSolidness(ox::SOFT);
    p_walker->setSpeed(0.5f);
    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(goal.x, goal.y)), 0);
    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    int steps = 0;
    while (!p_walker->getFollowPath() && steps < 10) {
        PathManager::getInstance().cycle(1);
        steps++;
    }
    ASSERT_TRUE(p_walker->getFollowPath());
    const ox::Path path = p_walker->getPath();
    for (steps = 0; steps < 200 && p_walker->getFollowPath(); steps++) {
        world_manager.update();
        const ox::Vector p = p_walker->getPosition();
        EXPECT_GE(p.getX(), 2.0f);
        EXPECT_LT(p.getX(), 8.5f);
        // Never inside the wall's cells (x 5, y 1 to 4).
        EXPECT_FALSE(p.getX() > 4.5f && p.getX() < 5.5f && p.getY() > 0.5f && p.getY() < 4.5f)
            << p.toString();
    }
    EXPECT_FALSE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getPosition(), PathWalker::cellPosition(goal.x, goal.y));
    EXPECT_EQ(p_walker->getDirection(), ox::Vector());
    EXPECT_TRUE(p_walker->getPath().isDone());
    // It stays there.
    world_manager.update();
    world_manager.update();
    EXPECT_EQ(p_walker->getPosition(), PathWalker::cellPosition(goal.x, goal.y));
    // Over the wall's top end, the shorter way round.
    const std::vector<Cell> cells = ox_test::cellsOf(path);
    EXPECT_NE(std::find(cells.begin(), cells.end(), Cell{5, 0}), cells.end());
}

/// Ends the game once the walker has heard from its search, or after a
/// number of steps.
class Referee : public ox::Object {
public:
    Referee(const PathWalker* p_walker, int steps) : m_p_walker(p_walker), m_steps(steps) {
        setSolidness(ox::SPECTRAL);
        registerInterest(ox::STEP_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::STEP_EVENT && (!m_p_walker->statuses.empty() || --m_steps <= 0)) {
            ox::GameManager::getInstance().setGameOver();
        }
        return Object::eventHandler(p_e);
    }

private:
    const PathWalker* m_p_walker;
    int m_steps;
};

TEST(PathManager, TheGameLoopRunsTheSearches) {
    StartedGame game(10);
    ASSERT_EQ(game.started, 0);
    PathWorld world(30, 10);
    auto* p_walker = new PathWalker(1, 1);
    ASSERT_EQ(p_walker->findPath(PathWalker::cellPosition(28, 8)), 0);
    new Referee(p_walker, 500);
    ox::GameManager::getInstance().run();
    EXPECT_EQ(p_walker->statuses, std::vector<int>{PathFind::FOUND});
    EXPECT_EQ(p_walker->getPathFind(), nullptr);
    EXPECT_EQ(PathManager::getInstance().getCount(), 0);
}

}  // namespace
