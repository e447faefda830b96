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

#include <chrono>
#include <string>
#include <vector>

#include "ObstacleWorld.h"
#include "PathFind.h"
#include "WorldManager.h"

namespace {

using Cell = ox::PathFind::Cell;
using Seconds = std::chrono::duration<double>;
using Watch = std::chrono::steady_clock;

constexpr double PATH_BUDGET_SECONDS = 0.031;

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
        ox::Object* p_walker = ox_bench::buildObstacleWorld(cols, rows);
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
