#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Config.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "LogManager.h"
#include "Object.h"
#include "Platform.h"
#include "WorldManager.h"

namespace {

using ox::GameManager;

// Simulated time for the game loop: the clock moves only when a step handler
// "works" or the loop sleeps, so every pacing decision is exact.
std::int64_t g_now = 0;
std::vector<std::int64_t> g_sleeps;       // every sleep request, in microseconds
std::map<int, std::int64_t> g_oversleep;  // extra microseconds slept by sleep call number

std::int64_t fakeNow() {
    return g_now;
}

void fakeSleep(std::int64_t microseconds) {
    const int call = static_cast<int>(g_sleeps.size());
    g_sleeps.push_back(microseconds);
    g_now += microseconds + (g_oversleep.count(call) ? g_oversleep[call] : 0);
}

/// Receives every step: records its step counts and start time, spends the
/// configured work time, and ends the game at the configured step.
class Stepper : public ox::Object {
public:
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::STEP_EVENT) {
            return 0;
        }
        const auto* p_step = static_cast<const ox::EventStep*>(p_e);
        event_counts.push_back(p_step->getStepCount());
        manager_counts.push_back(GameManager::getInstance().getStepCount());
        start_times.push_back(g_now);
        const int step = p_step->getStepCount();
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
    std::vector<std::int64_t> start_times;
    std::map<int, std::int64_t> work;
    std::int64_t default_work = 0;
    int last_step = 0;
    std::function<void(int)> on_step;
};

/// Starts the engine in a scratch directory with the given configuration and
/// the simulated clock; shuts it down afterwards.
class GameLoop : public testing::Test {
protected:
    void start(const std::string& config) {
        ox_test::writeFile("ox-config.txt", "headless:true,\n" + config);
        ox::platform::setTimeSource(fakeNow, fakeSleep);
        g_now = 1000000;
        g_sleeps.clear();
        g_oversleep.clear();
        ASSERT_EQ(GameManager::getInstance().startUp(), 0);
        m_p_stepper = new Stepper;  // the world manager's shut-down deletes it
        ASSERT_EQ(m_p_stepper->registerInterest(ox::STEP_EVENT), 0);
    }
    void TearDown() override {
        GameManager::getInstance().shutDown();
        ox::platform::setTimeSource(nullptr, nullptr);
    }
    int cantKeepUps() const {
        int count = 0;
        for (const std::string& m : m_log.messages()) {
            count += m.rfind("GameManager::run(): Can't keep up!", 0) == 0 ? 1 : 0;
        }
        return count;
    }

    ox_test::LogCapture m_log{1, false};
    Stepper* m_p_stepper = nullptr;
};

TEST_F(GameLoop, StepCountsAndGameOverFromAHandler) {
    start("frame_time:33,");
    m_p_stepper->last_step = 4;
    m_p_stepper->on_step = [](int step) {
        if (step == 2) {
            ox::LogManager::getInstance().writeLog("during step two");
        }
    };
    GameManager::getInstance().run();
    EXPECT_EQ(m_p_stepper->event_counts, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(m_p_stepper->manager_counts, m_p_stepper->event_counts);
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 5);
    EXPECT_EQ(g_sleeps.size(), 5u);  // the last step still sleeps before the loop ends
    // Steps with no work start exactly one frame apart.
    for (size_t i = 1; i < m_p_stepper->start_times.size(); i++) {
        EXPECT_EQ(m_p_stepper->start_times[i] - m_p_stepper->start_times[i - 1], 33000);
    }
    // The log prefix carries the step count of the step in progress.
    const std::vector<std::string> messages = m_log.messages();
    const std::vector<int> steps = m_log.stepCounts();
    bool found = false;
    for (size_t i = 0; i < messages.size(); i++) {
        if (messages[i] == "during step two") {
            EXPECT_EQ(steps[i], 2);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(m_log.contains("GameManager::run(): starting game loop"));
    EXPECT_TRUE(m_log.contains("GameManager::run(): end of game loop"));
}

TEST_F(GameLoop, SleepsTheRestOfTheFrame) {
    start("frame_time:20,");
    m_p_stepper->work = {{0, 1500}, {1, 250}, {2, 20000}, {3, 19999}};
    m_p_stepper->last_step = 3;
    GameManager::getInstance().run();
    // Step 2 overran and does not sleep; step 3 has 1 us left.
    EXPECT_EQ(g_sleeps, (std::vector<std::int64_t>{18500, 19750, 1}));
    EXPECT_EQ(cantKeepUps(), 1);
    EXPECT_TRUE(m_log.contains("GameManager::run(): Can't keep up! frame_time 20 ms, split 20 ms"));
}

TEST_F(GameLoop, OversleepShortensTheNextTarget) {
    start("frame_time:33,");
    g_oversleep[0] = 400;  // the first sleep takes 33.4 ms
    m_p_stepper->last_step = 2;
    GameManager::getInstance().run();
    // Step 1 aims at 33000 - 400 us. Step 2 is back to 33 ms.
    EXPECT_EQ(g_sleeps, (std::vector<std::int64_t>{33000, 32600, 33000}));
    EXPECT_EQ(m_p_stepper->start_times[1] - m_p_stepper->start_times[0], 33400);
    // The oversleep is given back at once: two steps take exactly two frames.
    EXPECT_EQ(m_p_stepper->start_times[2] - m_p_stepper->start_times[0], 66000);
}

TEST_F(GameLoop, CantKeepUpSparesStepZeroAndTheStepAfterAnOversleep) {
    start("frame_time:33,");
    g_oversleep[0] = 400;  // the first sleep (step 1's: step 0 overran) oversleeps
    m_p_stepper->work = {{0, 40000}, {1, 0}, {2, 32800}, {3, 45000}, {4, 33000}};
    m_p_stepper->last_step = 4;
    GameManager::getInstance().run();
    // Step 0 overruns: exempt. Step 1 sleeps 33 ms and oversleeps by 400 us.
    // Step 2 has 200 us left, less the 400 us carried over: it neither sleeps
    // nor warns. Steps 3 and 4 overrun and warn.
    EXPECT_EQ(g_sleeps, (std::vector<std::int64_t>{33000}));
    const std::vector<std::string> expected = {
        "GameManager::run(): Can't keep up! frame_time 33 ms, split 45 ms",
        "GameManager::run(): Can't keep up! frame_time 33 ms, split 33 ms"};
    std::vector<std::string> warnings;
    for (const std::string& m : m_log.messages()) {
        if (m.find("Can't keep up!") != std::string::npos) {
            warnings.push_back(m);
        }
    }
    EXPECT_EQ(warnings, expected);
    const std::vector<int> steps = m_log.stepCounts();
    const std::vector<std::string> messages = m_log.messages();
    for (size_t i = 0; i < messages.size(); i++) {
        if (messages[i] == expected[0]) {
            EXPECT_EQ(steps[i], 3);
        }
    }
}

TEST_F(GameLoop, FrameTimeZeroNeverSleepsOrWarns) {
    start("frame_time:0,");
    m_p_stepper->default_work = 5000;
    m_p_stepper->last_step = 9;
    GameManager::getInstance().run();
    EXPECT_EQ(GameManager::getInstance().getFrameTime(), 0);
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 10);
    EXPECT_TRUE(g_sleeps.empty());
    EXPECT_EQ(cantKeepUps(), 0);
}

TEST_F(GameLoop, EachRunStartsAfresh) {
    start("frame_time:10,");
    m_p_stepper->last_step = 2;
    GameManager::getInstance().run();
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
    m_p_stepper->event_counts.clear();
    m_p_stepper->last_step = 1;
    GameManager::getInstance().run();  // the old game over does not end this run at once
    EXPECT_EQ(m_p_stepper->event_counts, (std::vector<int>{0, 1}));
    EXPECT_EQ(GameManager::getInstance().getStepCount(), 2);
}

TEST_F(GameLoop, InactiveObjectsMissSteps) {
    start("frame_time:10,");
    m_p_stepper->last_step = 3;
    Stepper* p_other = new Stepper;
    p_other->registerInterest(ox::STEP_EVENT);
    p_other->last_step = -1;
    m_p_stepper->on_step = [p_other](int step) { p_other->setActive(step != 0); };
    GameManager::getInstance().run();
    EXPECT_EQ(p_other->event_counts, (std::vector<int>{1, 2, 3}));
}

/// The messages of the log that appear in expected, in order: checks that the
/// expected lines are there in that order, other lines in between allowed.
void expectInOrder(const std::vector<std::string>& messages,
                   const std::vector<std::string>& expected) {
    size_t next = 0;
    for (const std::string& m : messages) {
        if (next < expected.size() && m == expected[next]) {
            next++;
        }
    }
    EXPECT_EQ(next, expected.size())
        << "missing or out of order: " << (next < expected.size() ? expected[next] : "");
}

const std::string STARS(52, '*');

TEST(GameManagerStartUp, LogsBannerConfigurationAndOrder) {
    ox_test::LogCapture log(10, false);
    ox_test::writeFile("ox-config.txt", "headless:true,\nframe_time:20,\nrandom_seed:1234,\n");
    GameManager& gm = GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    EXPECT_TRUE(gm.isStarted());
    EXPECT_TRUE(ox::WorldManager::getInstance().isStarted());
    EXPECT_FALSE(gm.getGameOver());
    EXPECT_EQ(gm.getFrameTime(), 20);
    const int first = std::rand();
    std::srand(1234);
    EXPECT_EQ(first, std::rand());  // seeded with the configured seed

    EXPECT_EQ(gm.startUp(), -1);
    gm.shutDown();
    EXPECT_FALSE(gm.isStarted());
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    EXPECT_FALSE(ox::LogManager::getInstance().isStarted());
    EXPECT_TRUE(gm.getGameOver());

    const std::vector<std::string> messages = log.messages();
    expectInOrder(messages, {
                                "LogManager::startUp(): successfully started.",
                                STARS,
                                "** Orvix version 4.24 **",
                                "** Game engine started **",
                                STARS,
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
                                "GameManager::startup(): Warning! GameManager already started.",
                                "World manager stopped",
                                STARS,
                                "** Game engine stopped **",
                                "LogManager::shutDown(): successfully stopped.",
                            });
    EXPECT_EQ(messages[1], STARS);  // the banner right after the log opens
    for (int step : log.stepCounts()) {
        EXPECT_EQ(step, 0);
    }
    EXPECT_FALSE(log.containsPart("timeBeginPeriod"));
    EXPECT_FALSE(log.containsPart("timeEndPeriod"));
}

TEST(GameManagerStartUp, SeedMinusOneDoesNotSeedAndZeroSeedsFromTheClock) {
    {
        ox_test::LogCapture log(10, false);
        ox_test::writeFile("ox-config.txt", "headless:true,\nrandom_seed:-1,\n");
        ASSERT_EQ(GameManager::getInstance().startUp(), 0);
        EXPECT_FALSE(log.containsPart("srand()"));
        GameManager::getInstance().shutDown();
    }
    {
        ox_test::LogCapture log(10, false);
        ox_test::writeFile("ox-config.txt", "headless:true,\nrandom_seed:0,\n");
        const long before = static_cast<long>(std::time(nullptr));
        ASSERT_EQ(GameManager::getInstance().startUp(), 0);
        const long after = static_cast<long>(std::time(nullptr));
        bool seeded = false;
        for (const std::string& m : log.messages()) {
            long seed = 0;
            if (std::sscanf(m.c_str(), "GameManager()::startUp(): srand() seed with %ld", &seed) ==
                1) {
                EXPECT_GE(seed, before);
                EXPECT_LE(seed, after);
                seeded = true;
            }
        }
        EXPECT_TRUE(seeded);
        GameManager::getInstance().shutDown();
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
    EXPECT_FALSE(log.contains("GameManager successfully started."));
    gm.shutDown();
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    EXPECT_TRUE(log.contains("World manager stopped"));
    EXPECT_TRUE(log.contains("** Game engine stopped **"));
}

}  // namespace
