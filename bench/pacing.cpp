// Frame pacing of the real game loop: runs the engine for 300 periods at
// frame_time 33 with an object that records when each step began, then reports
// the mean step period, the p50, p99 and maximum of |period - frame_time| in
// microseconds, and how many "Can't keep up!" lines the log holds.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EventStep.h"
#include "GameManager.h"
#include "Object.h"
#include "Platform.h"

namespace {

constexpr int FRAME_TIME_MS = 33;
constexpr int PERIODS = 300;

/// Records the start time of every step and ends the game after PERIODS + 1 steps.
class StepRecorder : public ox::Object {
public:
    explicit StepRecorder(std::vector<std::int64_t>& starts) : m_starts(starts) {
        registerInterest(ox::STEP_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::STEP_EVENT) {
            return 0;
        }
        m_starts.push_back(ox::platform::nowMicroseconds());
        if (static_cast<int>(m_starts.size()) > PERIODS) {
            ox::GameManager::getInstance().setGameOver();
        }
        return 1;
    }

private:
    std::vector<std::int64_t>& m_starts;
};

int countLines(const std::string& path, const std::string& part) {
    std::ifstream in(path);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(std::ceil(p * values.size())) - 1;
    return values[std::min(index, values.size() - 1)];
}

void BM_FramePacing(benchmark::State& state) {
    // Run in a directory of our own, with a configuration of our own.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("orvix-pacing-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    std::ofstream(dir / "pacing.cfg") << "frame_time:" << FRAME_TIME_MS << ",\nheadless:true,\n";
    setenv("ORVIX_CONFIG", (dir / "pacing.cfg").c_str(), 1);
    setenv("ORVIX_LOG", (dir / "pacing.log").c_str(), 1);

    std::vector<std::int64_t> starts;
    for (auto _ : state) {
        ox::GameManager& game_manager = ox::GameManager::getInstance();
        if (game_manager.startUp() != 0) {
            state.SkipWithError("the engine did not start");
            return;
        }
        new StepRecorder(starts);  // deleted by the world manager's shut-down
        game_manager.run();
        game_manager.shutDown();
    }

    std::vector<double> deviations;
    double total = 0;
    for (size_t i = 1; i < starts.size(); i++) {
        const double period = static_cast<double>(starts[i] - starts[i - 1]);
        total += period;
        deviations.push_back(std::fabs(period - FRAME_TIME_MS * 1000.0));
    }
    const double mean = total / deviations.size();
    const int cant_keep_up = countLines((dir / "pacing.log").string(), "Can't keep up!");
    state.counters["periods"] = static_cast<double>(deviations.size());
    state.counters["mean_period_us"] = mean;
    state.counters["p50_dev_us"] = percentile(deviations, 0.50);
    state.counters["p99_dev_us"] = percentile(deviations, 0.99);
    state.counters["max_dev_us"] = percentile(deviations, 1.0);
    state.counters["cant_keep_up"] = cant_keep_up;
    std::printf(
        "frame_time %d ms, %zu periods: mean period %.1f us; |period - frame_time| p50 %.0f us, "
        "p99 %.0f us, max %.0f us; \"Can't keep up!\" lines: %d\n",
        FRAME_TIME_MS, deviations.size(), mean, percentile(deviations, 0.50),
        percentile(deviations, 0.99), percentile(deviations, 1.0), cant_keep_up);
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

BENCHMARK(BM_FramePacing)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
