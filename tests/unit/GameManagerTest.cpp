#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
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
using Micros = std::vector<std::int64_t>;

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
        manager_counts.push_back(GameManager::getInstance().getStepCount());
        start_times.push_back(g_now);
        g_now += work.count(step) ? work[step] : default_work;
        if (on_step) {
            on_step(step);
        }
        if (step == last_step) {
            GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    std::vector<int> event_counts, manager_counts;
    Micros start_times;
    std::map<int, std::int64_t> work;
    std::int64_t default_work = 0;
    int last_step = 0;
    std::function<void(int)> on_step;
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
    std::vector<std::pair<int, std::string>> warnings() const {
        std::vector<std::pair<int, std::string>> found;
        const std::vector<std::string> messages = log.messages();
        const std::vector<int> steps = log.stepCounts();
        for (size_t i = 0; i < messages.size(); i++) {
            if (messages[i].find("Can't keep up!") != std::string::npos) {
                found.emplace_back(steps[i], messages[i]);
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
    loop.p_stepper->on_step = [](int step) {
        if (step == 2) {
            ox::LogManager::getInstance().writeLog("during step two");
        }
    };
    GameManager::getInstance().run();
    EXPECT_EQ(loop.p_stepper->event_counts, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(loop.p_stepper->manager_counts, loop.p_stepper->event_counts);
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 5);
    // The log prefix carries the step count of the step in progress.
    const std::vector<std::string> messages = loop.log.messages();
    const auto at = std::find(messages.begin(), messages.end(), "during step two");
    ASSERT_NE(at, messages.end());
    EXPECT_EQ(loop.log.stepCounts()[static_cast<size_t>(at - messages.begin())], 2);

    // The next run starts afresh: the old game over does not end it at once.
    loop.p_stepper->event_counts.clear();
    loop.p_stepper->last_step = 1;
    GameManager::getInstance().run();
    EXPECT_EQ(loop.p_stepper->event_counts, (std::vector<int>{0, 1}));
}

TEST(GameLoop, PacingSleepsTheRestCarriesOversleepAndWarnsOnlyWhenBehind) {
    const struct {
        const char* name;
        const char* config;
        std::map<int, std::int64_t> oversleep;  // by sleep call
        std::map<int, std::int64_t> work;       // by step
        std::int64_t default_work;
        int last_step;
        Micros sleeps;
        Micros starts;  // of each step, from the first
        std::vector<std::pair<int, std::string>> warnings;
    } cases[] = {
        {"idle steps, the last one sleeps too",
         "frame_time:33,",
         {},
         {},
         0,
         2,
         {33000, 33000, 33000},
         {0, 33000, 66000},
         {}},
        {"rest of the frame; an overrun neither sleeps nor carries",
         "frame_time:20,",
         {},
         {{0, 1500}, {1, 250}, {2, 20000}, {3, 19999}},
         0,
         3,
         {18500, 19750, 1},
         {0, 20000, 40000, 60000},
         {{2, "GameManager::run(): Can't keep up! frame_time 20 ms, split 20 ms"}}},
        {"an oversleep shortens the next target only",
         "frame_time:33,",
         {{0, 400}},
         {},
         0,
         2,
         {33000, 32600, 33000},
         {0, 33400, 66000},
         {}},
        // Step 0 overruns: exempt. Step 1 oversleeps by 400 us; step 2 has
        // 200 us left, less the 400 carried over: it neither sleeps nor warns.
        {"step zero and the step after an oversleep are spared",
         "frame_time:33,",
         {{0, 400}},
         {{0, 40000}, {1, 0}, {2, 32800}, {3, 45000}, {4, 33000}},
         0,
         4,
         {33000},
         {0, 40000, 73400, 106200, 151200},
         {{3, "GameManager::run(): Can't keep up! frame_time 33 ms, split 45 ms"},
          {4, "GameManager::run(): Can't keep up! frame_time 33 ms, split 33 ms"}}},
        {"frame time 0 never sleeps or warns",
         "frame_time:0,",
         {},
         {},
         5000,
         3,
         {},
         {0, 5000, 10000, 15000},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loop loop(c.config);
        g_oversleep = c.oversleep;
        loop.p_stepper->work = c.work;
        loop.p_stepper->default_work = c.default_work;
        loop.p_stepper->last_step = c.last_step;
        GameManager::getInstance().run();
        EXPECT_EQ(g_sleeps, c.sleeps);
        Micros starts;
        for (std::int64_t t : loop.p_stepper->start_times) {
            starts.push_back(t - loop.p_stepper->start_times[0]);
        }
        EXPECT_EQ(starts, c.starts);
        EXPECT_EQ(loop.warnings(), c.warnings);
    }
}

/// Checks that the expected lines are among the messages in that order,
/// other lines in between allowed.
void expectInOrder(const std::vector<std::string>& messages,
                   const std::vector<std::string>& expected) {
    size_t next = 0;
    for (const std::string& m : messages) {
        next += next < expected.size() && m == expected[next] ? 1 : 0;
    }
    EXPECT_EQ(next, expected.size())
        << "missing or out of order: " << (next < expected.size() ? expected[next] : "");
}

TEST(GameManagerStartUp, LogsBannerConfigurationAndOrder) {
    ox_test::LogCapture log(10, false);
    ox_test::writeFile("ox-config.txt", "headless:true,\nframe_time:20,\nrandom_seed:1234,\n");
    GameManager& gm = GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    EXPECT_TRUE(ox::WorldManager::getInstance().isStarted());
    const int first = std::rand();
    std::srand(1234);
    EXPECT_EQ(first, std::rand());  // seeded with the configured seed
    EXPECT_EQ(gm.startUp(), -1);
    gm.shutDown();
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    EXPECT_FALSE(ox::LogManager::getInstance().isStarted());

    const std::string stars(52, '*');
    const std::vector<std::string> messages = log.messages();
    expectInOrder(messages, {
                                "LogManager::startUp(): successfully started.",
                                stars,
                                "** Orvix version 4.24 **",
                                "** Game engine started **",
                                stars,
                                "-----------------------------------",
                                "Orvix configuration:",
                                "  Frame time: 20",
                                "  Random seed: 1234",
                                "-----------------------------------",
                                "Working directory:",
                                "  " + log.dir().path(),
                                "Log Manager started.",
                                "GameManager::startUp(): frame time is 20 milliseconds",
                                "World manager started.",
                                "GameManager()::startUp(): srand() seed with 1234",
                                "GameManager successfully started.",
                                "World manager stopped",
                                stars,
                                "** Game engine stopped **",
                                "LogManager::shutDown(): successfully stopped.",
                            });
    EXPECT_EQ(messages[1], stars);  // the banner right after the log opens
    for (int step : log.stepCounts()) {
        EXPECT_EQ(step, 0);  // every line has the prefix
    }
}

TEST(GameManagerStartUp, UnopenableLogStopsStartUp) {
    ox_test::ScratchDir dir;
    setenv("ORVIX_LOG", "missing/dir.log", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GameManager::getInstance().startUp(), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("LogManager::startup(): Warning! Unable to open file 'missing/dir.log'."),
              std::string::npos);
    EXPECT_NE(err.find("GameManager::startUp(): Error! Starting log manager."), std::string::npos);
    EXPECT_FALSE(GameManager::getInstance().isStarted());
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    unsetenv("ORVIX_LOG");
}

TEST(GameManagerStartUp, AFailingManagerStopsStartUpAndShutDownStopsWhatRuns) {
    ox_test::LogCapture log(1, false);
    ox_test::writeFile("ox-config.txt", "headless:true,\n");
    // A world manager that is already running refuses a second start.
    ASSERT_EQ(ox::WorldManager::getInstance().startUp(), 0);
    GameManager& gm = GameManager::getInstance();
    EXPECT_EQ(gm.startUp(), -1);
    EXPECT_FALSE(gm.isStarted());
    EXPECT_TRUE(log.contains("GameManager::startUp(): Error starting world manager."));
    gm.shutDown();
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    EXPECT_TRUE(log.contains("** Game engine stopped **"));
}

}  // namespace
