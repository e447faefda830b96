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
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::PathFind;
using ox::PathManager;
using Cell = ox::PathFind::Cell;
using ox_test::PathWalker;
using ox_test::PathWorld;

PathManager& pm() {
    return PathManager::getInstance();
}

// Simulated time: every reading of the clock moves it on by a fixed amount.
std::int64_t g_now = 0;
std::int64_t g_tick = 0;

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

TEST(PathManager, StartedLastWithATenthOfTheFrameTimeAndStoppedFirst) {
    StartedGame game(50);
    EXPECT_EQ(pm().getMinCycleTime(), 5);
    ox::GameManager::getInstance().shutDown();
    std::vector<std::string> started, stopped;
    for (const std::string& m : game.log.messages()) {
        if (m.ends_with("manager started.")) {
            started.push_back(m);
        } else if (m.ends_with("manager stopped")) {
            stopped.push_back(m);
        }
    }
    ASSERT_FALSE(started.empty() || stopped.empty());
    EXPECT_EQ(started.back(), "Path manager started.");
    EXPECT_EQ(stopped.front(), "Path manager stopped");
}

TEST(PathManager, ABudgetOfZeroOrLessStillGetsTheLeastCycleTime) {
    StartedGame game(50);
    ox::platform::setTimeSource(
        [] {
            g_now += g_tick;
            return g_now;
        },
        [](std::int64_t) {});
    g_tick = 250;
    const int least = cellsClosedInOneCycle(5);
    EXPECT_GT(least, 1);
    EXPECT_EQ(cellsClosedInOneCycle(0), least);
    EXPECT_EQ(cellsClosedInOneCycle(-40), least);
    EXPECT_EQ(cellsClosedInOneCycle(3), least);
    EXPECT_GT(cellsClosedInOneCycle(8), least);
    EXPECT_FALSE(game.log.containsPart("PathManager::cycle(): cycle time"));
    // Each reading moves the clock 4 ms: the first step already runs over.
    g_tick = 4000;
    EXPECT_EQ(cellsClosedInOneCycle(0), 1);
    EXPECT_EQ(game.log.count("PathManager::cycle(): cycle time 5 exceeded."), 1);
    ox::platform::setTimeSource(nullptr, nullptr);
}

TEST(PathManager, EverySearchIsServedAndEachObjectGetsItsResultOnce) {
    ox_test::LogCapture log;
    PathWorld world(12, 8);
    Cell unused;
    PathWorld::build({"............", ".....#......", ".....#......", ".....#......",
                      ".....#......", "......###...", "............", "......###..."},
                     unused, unused);
    std::vector<PathWalker*> walkers;
    // The last goal is walled off.
    const std::vector<Cell> goals = {{9, 2}, {1, 1}, {8, 7}, {2, 6}, {7, 6}};
    PathWorld::wall(6, 6);
    PathWorld::wall(8, 6);
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
    // A soft walker: a diagonal step past a wall corner brushes the wall.
    p_walker->setSolidness(ox::SOFT);
    p_walker->setSpeed(0.5f);
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

TEST(PathManager, TheGameLoopRunsTheSearches) {
    StartedGame game(10);
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

}  // namespace
