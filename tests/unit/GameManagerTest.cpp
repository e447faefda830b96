#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "LogManager.h"
#include "Object.h"
#include "Platform.h"
#include "WorldManager.h"

namespace {

using ox::GameManager;
using namespace std::string_literals;
using Micros = std::vector<std::int64_t>;
using Warnings = std::vector<std::pair<int, std::string>>;

// Simulated time for the game loop: the clock moves only when a step handler
// "works" or the loop sleeps, so every pacing decision is exact.
std::int64_t g_now = 0;
Micros g_sleeps;                          // every sleep request, in microseconds
std::map<int, std::int64_t> g_oversleep;  // extra microseconds slept by sleep call number

/// Receives every step: records its step counts and start time, spends the
/// configured work time, and ends the game at the configured step.
class Stepper : public ox::Object {
public:
    Stepper() { registerInterest(ox::STEP_EVENT); }
    int eventHandler(const ox::Event* p_e) override {
        const int step = static_cast<const ox::EventStep*>(p_e)->getStepCount();
        event_counts.push_back(step);
        start_times.push_back(g_now);
        lateness.push_back(GameManager::getInstance().getStepLateness());
        g_now += work.count(step) ? work[step] : 0;
        if (step == last_step) {
            GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    int draw() override {
        drawn_at.push_back(getPosition().getX());
        return 0;
    }
    std::vector<int> event_counts;
    std::vector<float> drawn_at;  // where each frame drew it
    Micros start_times;
    Micros lateness;  // as the step saw it
    std::map<int, std::int64_t> work;
    int last_step = 0;
};

/// The engine started headless in a scratch directory with the configuration
/// given and the simulated clock, with a stepper; shut down afterwards.
struct Loop {
    explicit Loop(const std::string& config) : log(1, false) {
        ox_test::writeFile("ox-config.txt", "headless:true,\n" + config);
        ox::platform::setTimeSource([] { return g_now; },
                                    [](std::int64_t microseconds) {
                                        const int call = static_cast<int>(g_sleeps.size());
                                        g_sleeps.push_back(microseconds);
                                        g_now += microseconds +
                                                 (g_oversleep.count(call) ? g_oversleep[call] : 0);
                                    });
        g_now = 1000000;
        g_sleeps.clear();
        g_oversleep.clear();
        EXPECT_EQ(GameManager::getInstance().startUp(), 0);
        p_stepper = new Stepper;  // the world manager's shut-down deletes it
    }
    ~Loop() {
        GameManager::getInstance().shutDown();
        ox::platform::setTimeSource(nullptr, nullptr);
    }
    /// Each "Can't keep up!" line with the step count of its prefix.
    Warnings warnings() const {
        Warnings found;
        const std::vector<std::string> messages = log.messages();
        for (size_t i = 0; i < messages.size(); i++) {
            if (messages[i].find("Can't keep up!") != std::string::npos) {
                found.emplace_back(log.stepCounts()[i], messages[i]);
            }
        }
        return found;
    }
    ox_test::LogCapture log;
    Stepper* p_stepper = nullptr;
};

TEST(GameLoop, StepCountsAndGameOverFromAHandler) {
    Loop loop("frame_time:33,");
    loop.p_stepper->last_step = 4;
    loop.p_stepper->setPosition(ox::Vector(10, 10));
    loop.p_stepper->setVelocity(ox::Vector(1, 0));
    GameManager::getInstance().run();
    EXPECT_EQ(loop.p_stepper->event_counts, (std::vector<int>{0, 1, 2, 3, 4}));
    // Each frame draws the world after moving it.
    EXPECT_EQ(loop.p_stepper->drawn_at, (std::vector<float>{11, 12, 13, 14, 15}));
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 5);
    // The next run starts afresh: the old game over does not end it at once.
    loop.p_stepper->event_counts.clear();
    loop.p_stepper->last_step = 1;
    GameManager::getInstance().run();
    EXPECT_EQ(loop.p_stepper->event_counts, (std::vector<int>{0, 1}));
}

/// What a run did: every sleep, each step's start from the first, and the
/// "Can't keep up!" lines with their step counts.
struct Paced {
    Micros sleeps, starts, lateness;
    Warnings warnings;
};

/// Runs steps 0 to last_step with the frame time, the work of each step and
/// the extra time of each sleep call (by call number).
Paced pace(int frame_time, const std::map<int, std::int64_t>& work,
           const std::map<int, std::int64_t>& oversleep, int last_step) {
    Loop loop("frame_time:" + std::to_string(frame_time) + ",");
    g_oversleep = oversleep;
    loop.p_stepper->work = work;
    loop.p_stepper->last_step = last_step;
    GameManager::getInstance().run();
    Paced paced{g_sleeps, {}, loop.p_stepper->lateness, loop.warnings()};
    for (std::int64_t t : loop.p_stepper->start_times) {
        paced.starts.push_back(t - loop.p_stepper->start_times[0]);
    }
    return paced;
}

std::string warning(int frame_time, int split) {
    return "GameManager::run(): Can't keep up! frame_time " + std::to_string(frame_time) +
           " ms, split " + std::to_string(split) + " ms";
}

TEST(GameLoop, PacingKeepsTheScheduleOfOneStepEveryFrame) {
    // Idle steps sleep a whole frame, the last one too; an oversleep shortens
    // the next target only.
    Paced p = pace(33, {}, {{0, 400}}, 2);
    EXPECT_EQ(p.sleeps, (Micros{33000, 32600, 33000}));
    EXPECT_EQ(p.starts, (Micros{0, 33400, 66000}));
    EXPECT_TRUE(p.warnings.empty());
    // A step that overruns by half a frame is made up by the next one.
    p = pace(20, {{0, 1500}, {1, 30000}}, {}, 3);
    EXPECT_EQ(p.sleeps, (Micros{18500, 10000, 20000}));
    EXPECT_EQ(p.starts, (Micros{0, 20000, 50000, 60000}));
    EXPECT_TRUE(p.warnings.empty());
    // An overrun of several frames: the next steps run back to back until
    // the schedule is caught up, without a warning.
    p = pace(20, {{1, 70000}}, {}, 5);
    EXPECT_EQ(p.sleeps, (Micros{20000, 10000, 20000}));
    EXPECT_EQ(p.starts, (Micros{0, 20000, 90000, 90000, 90000, 100000}));
    EXPECT_EQ(p.lateness, (Micros{0, 0, 50000, 30000, 10000, 0}));
    EXPECT_TRUE(p.warnings.empty());
    // Further behind than the bound: a new schedule from now, and the warning
    // with the step's split, except on step 0.
    const std::int64_t too_long = (ox::MAX_STEPS_BEHIND + 2) * 20000 + 10000;
    p = pace(20, {{0, too_long}, {2, too_long}}, {}, 3);
    EXPECT_EQ(p.sleeps, (Micros{20000, 20000}));
    EXPECT_EQ(p.starts, (Micros{0, too_long, too_long + 20000, 2 * too_long + 20000}));
    EXPECT_EQ(p.warnings, (Warnings{{2, warning(20, static_cast<int>(too_long / 1000))}}));
    // Frame time 0 never sleeps or warns.
    p = pace(0, {{0, 5000}, {1, 5000}, {2, 5000}}, {}, 2);
    EXPECT_TRUE(p.sleeps.empty());
    EXPECT_EQ(p.starts, (Micros{0, 5000, 10000}));
    EXPECT_TRUE(p.warnings.empty());
}

TEST(GameManagerStartUp, LogsBannerConfigurationAndOrder) {
    ox_test::LogCapture log(10, false);
    ox_test::writeFile("ox-config.txt", "headless:true,\nframe_time:20,\nrandom_seed:1234,\n");
    GameManager& gm = GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    const int first = std::rand();
    std::srand(1234);
    EXPECT_EQ(first, std::rand());  // seeded with the configured seed
    EXPECT_EQ(gm.startUp(), -1);
    gm.shutDown();
    EXPECT_FALSE(ox::LogManager::getInstance().isStarted());

    const std::string stars(52, '*');
    const std::vector<std::string> messages = log.messages();
    // These lines come in this order, others in between allowed: every
    // manager started in its place and stopped in the reverse order.
    auto at = messages.begin();
    for (const std::string& line : {stars,
                                    "** Orvix version 4.24 **"s,
                                    "** Game engine started **"s,
                                    stars,
                                    "Orvix configuration:"s,
                                    "  Frame time: 20"s,
                                    "Working directory:"s,
                                    "  " + log.dir().path(),
                                    "Log Manager started."s,
                                    "Display manager started."s,
                                    "Input manager started."s,
                                    "Network manager started."s,
                                    "Resource manager started."s,
                                    "World manager started."s,
                                    "Path manager started."s,
                                    "GameManager()::startUp(): srand() seed with 1234"s,
                                    "Path manager stopped"s,
                                    "World manager stopped"s,
                                    "Resource manager stopped"s,
                                    "Network manager stopped"s,
                                    "Input manager stopped"s,
                                    "Display manager stopped"s,
                                    stars,
                                    "** Game engine stopped **"s,
                                    "LogManager::shutDown(): successfully stopped."s}) {
        at = std::find(at, messages.end(), line);
        ASSERT_NE(at, messages.end()) << "missing or out of order: " << line;
    }
    EXPECT_EQ(messages[1], stars);  // the banner right after the log opens
    for (int step : log.stepCounts()) {
        EXPECT_EQ(step, 0);  // every line has the prefix
    }
}

}  // namespace
