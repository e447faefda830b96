// Cost of the incremental path search on worlds of 80 x 24, 200 x 200 and
// 1000 x 1000 cells with scattered rectangular obstacles (about 15% of the
// area), searching from one corner to the opposite one, run to the end.
// That the search closes the same cells as the engine's earlier linear-scan
// search is checked by the unit tests, not here.
//
// Counters: cycles (cells closed), engine_s (time of the whole search),
// us_per_cycle (mean), last_us_per_cycle (mean over the last sixteenth of the
// search), frames (the time in path budgets of 31 ms: 95% of a 33 ms frame),
// found (1 when the goal was reached).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Box.h"
#include "LogManager.h"
#include "Object.h"
#include "PathFind.h"
#include "Vector.h"
#include "WorldManager.h"

namespace {

using Cell = ox::PathFind::Cell;
using Seconds = std::chrono::duration<double>;
using Watch = std::chrono::steady_clock;

constexpr double PATH_BUDGET_SECONDS = 0.031;
constexpr double OBSTACLE_AREA = 0.15;

/// Starts the log (in a directory of our own) and the world on cols x rows
/// cells, scattering HARD rectangles of 1 to 5 cells a side until they cover
/// OBSTACLE_AREA of the world, keeping the corners free. Returns the walker.
ox::Object* buildWorld(int cols, int rows) {
    static bool log_started = false;
    if (!log_started) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("orvix-pathfind-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        setenv("ORVIX_LOG", (dir / "pathfind.log").c_str(), 1);
        ox::LogManager::getInstance().startUp();
        log_started = true;
    }
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(ox::Box(ox::Vector(), static_cast<float>(cols), static_cast<float>(rows)));
    std::mt19937 random(static_cast<unsigned>(cols * 7919 + rows));
    std::uniform_int_distribution<int> side(1, 5);
    std::uniform_int_distribution<int> pick_x(0, cols - 1);
    std::uniform_int_distribution<int> pick_y(0, rows - 1);
    double covered = 0.0;
    while (covered < OBSTACLE_AREA * cols * rows) {
        const int x = pick_x(random);
        const int y = pick_y(random);
        const int w = std::min(side(random), cols - x);
        const int h = std::min(side(random), rows - y);
        const bool near_start = x <= 2 && y <= 2;
        const bool near_goal = x + w >= cols - 2 && y + h >= rows - 2;
        if (near_start || near_goal) {
            continue;
        }
        auto* p_o = new ox::Object;
        // Just short of whole cells, so the obstacle does not touch a walker
        // standing next to it.
        p_o->setBox(ox::Box(ox::Vector(-0.5f, -0.5f), w - 0.01f, h - 0.01f));
        p_o->setPosition(ox::Vector(static_cast<float>(x), static_cast<float>(y)));
        covered += w * h;
    }
    auto* p_walker = new ox::Object;
    p_walker->setPosition(ox::Vector(1.0f, 1.0f));
    return p_walker;
}

/// Cumulative time after a number of cycles.
struct Checkpoint {
    double cycles;
    double seconds;
};

/// Mean time of one cycle over the last sixteenth of the checkpoints.
double lastCycleCost(const std::vector<Checkpoint>& points) {
    if (points.size() < 2) {
        return points.empty() ? 0.0 : points.back().seconds / points.back().cycles;
    }
    const Checkpoint& from = points[points.size() - 1 - (points.size() - 1 + 15) / 16];
    const Checkpoint& to = points.back();
    return (to.seconds - from.seconds) / (to.cycles - from.cycles);
}

void BM_PathFind(benchmark::State& state) {
    const int cols = static_cast<int>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    for (auto _ : state) {
        ox::Object* p_walker = buildWorld(cols, rows);
        const Cell start{1, 1};
        const Cell goal{cols - 2, rows - 2};

        // The search, with a checkpoint every 64 cycles.
        ox::PathFind search(p_walker, start, goal);
        std::vector<Checkpoint> points;
        const Watch::time_point began = Watch::now();
        double elapsed = 0.0;
        int result = ox::PathFind::SEARCHING;
        long cycles = 0;
        while (result == ox::PathFind::SEARCHING) {
            result = search.cycleOnce();
            cycles++;
            if ((cycles & 63) == 0 || result != ox::PathFind::SEARCHING) {
                elapsed = Seconds(Watch::now() - began).count();
                points.push_back({static_cast<double>(cycles), elapsed});
            }
        }
        state.SetIterationTime(elapsed);

        state.counters["cycles"] = static_cast<double>(cycles);
        state.counters["engine_s"] = elapsed;
        state.counters["us_per_cycle"] = elapsed * 1e6 / cycles;
        state.counters["last_us_per_cycle"] = lastCycleCost(points) * 1e6;
        state.counters["frames"] = elapsed / PATH_BUDGET_SECONDS;
        state.counters["found"] = result == ox::PathFind::FOUND ? 1 : 0;
        ox::WorldManager::getInstance().shutDown();
    }
}

BENCHMARK(BM_PathFind)
    ->Args({80, 24})
    ->Args({200, 200})
    ->Args({1000, 1000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
