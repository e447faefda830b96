// The start-up splash, headless, with simulated time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Config.h"
#include "EventKeyboard.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "Platform.h"
#include "Splash.h"
#include "Sprite.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Vector;

std::int64_t g_now = 0;

// The one active object of a type, or null.
ox::Object* findOne(const std::string& type) {
    const ox::ObjectList list = ox::WorldManager::getInstance().getSceneGraph().objectsOfType(type);
    return list.getCount() == 1 ? list[0] : nullptr;
}

// The banner and the mascot (when there) at the start of one step.
struct Sample {
    ox::Object* p_banner;
    Vector banner_at;
    int banner_frame;
    ox::Object* p_mascot;
    Vector mascot_at;
    ox::Color mascot_color;  // the sprite's
    bool spectral;           // neither collides with the game's objects
};

// Registered for steps before the splash exists, so at step n it sees the
// splash after n steps of movement. Runs an optional action each step.
class Probe : public ox::Object {
public:
    std::vector<Sample> samples;
    std::function<void(int)> on_step;

    Probe() {
        setSolidness(ox::SPECTRAL);
        registerInterest(ox::STEP_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        ox::Object* p_b = findOne("Splash");
        ox::Object* p_m = findOne("SplashOrvix");
        const ox::Sprite* p_sprite = p_m ? p_m->getAnimation().getSprite() : nullptr;
        samples.push_back(
            {p_b, p_b ? p_b->getPosition() : Vector(), p_b ? p_b->getAnimation().getIndex() : -1,
             p_m, p_m ? p_m->getPosition() : Vector(), p_sprite ? p_sprite->getColor() : ox::BLACK,
             (!p_b || p_b->getSolidness() == ox::SPECTRAL) &&
                 (!p_m || p_m->getSolidness() == ox::SPECTRAL)});
        if (on_step) {
            on_step(static_cast<const ox::EventStep*>(p_e)->getStepCount());
        }
        return 1;
    }
};

class SplashRun : public testing::Test {
protected:
    void SetUp() override {
        ox_test::writeFile("ox-config.txt", "headless:true,\n");
        ox::platform::setTimeSource([] { return g_now; },
                                    [](std::int64_t microseconds) { g_now += microseconds; });
        g_now = 1000000;
        ASSERT_EQ(ox::GameManager::getInstance().startUp(), 0);
    }
    void TearDown() override {
        ox::GameManager::getInstance().shutDown();
        ox::platform::setTimeSource(nullptr, nullptr);
    }
    ox_test::LogCapture m_log{10, false};
};

TEST_F(SplashRun, BannerAndMascotFollowTheirScheduleFor90Steps) {
    auto* p_probe = new Probe;
    ASSERT_EQ(ox::splash(), 0);
    ox::GameManager& gm = ox::GameManager::getInstance();
    EXPECT_EQ(gm.getStepCount(), 90);
    EXPECT_TRUE(gm.getGameOver());
    EXPECT_EQ(findOne("Splash"), nullptr);
    EXPECT_EQ(findOne("SplashOrvix"), nullptr);
    EXPECT_EQ(ox::WorldManager::getInstance().getSceneGraph().activeObjects().getCount(), 1);
    EXPECT_TRUE(m_log.contains("splash(): Finished."));

    const std::vector<Sample>& s = p_probe->samples;
    ASSERT_EQ(s.size(), 90u);
    // The banner: 14 moves of -74.5/16 from (103.5, 12), then still, in its
    // upright lettering from the stop on. The mascot: created at step 14
    // (first seen at 15), rising 17/30 of a row a step for 30 steps, flying in
    // blue, then settled in green one cell to the left.
    for (int step = 0; step < 90; step++) {
        ASSERT_TRUE(s[step].p_banner) << step;
        EXPECT_TRUE(s[step].spectral) << step;
        EXPECT_EQ(s[step].banner_at, Vector(103.5f - 4.65625f * std::min(step, 14), 12)) << step;
        EXPECT_EQ(s[step].banner_frame, step <= 14 ? 0 : 1) << step;
        ASSERT_EQ(s[step].p_mascot != nullptr, step > 14) << step;
        if (step > 14) {
            const float rise = 17.0f / 30.0f * static_cast<float>(std::min(step, 44) - 14);
            // It stops where the rise ends, on the row it rose to.
            EXPECT_NEAR(s[step].mascot_at.getY(), 30.0f - rise, 1e-4) << step;
            EXPECT_EQ(s[step].mascot_at.getX(), step <= 59 ? 62.3125f : 61.3125f) << step;
            EXPECT_EQ(s[step].mascot_color, step <= 59 ? ox::BLUE : ox::GREEN) << step;
        }
    }
}

TEST_F(SplashRun, AKeyAtAnyStepEndsItAfterThatStep) {
    auto* p_probe = new Probe;
    ox::GameManager& gm = ox::GameManager::getInstance();
    for (int key_step : {0, 13, 14, 15, 44, 59, 88}) {
        p_probe->on_step = [key_step](int step) {
            if (step == key_step) {
                ox::EventKeyboard key;
                key.setKey(ox::Keyboard::SPACE);
                key.setKeyboardAction(ox::KEY_PRESSED);
                // The banner takes the key first and ends the game: neither
                // it nor the mascot counts the key as handled.
                EXPECT_EQ(ox::InputManager::getInstance().onEvent(&key), 0);
            }
        };
        ASSERT_EQ(ox::splash(), 0);
        EXPECT_EQ(gm.getStepCount(), key_step + 1);
        EXPECT_TRUE(gm.getGameOver());
        EXPECT_EQ(findOne("Splash"), nullptr) << key_step;
        EXPECT_EQ(findOne("SplashOrvix"), nullptr) << key_step;
        EXPECT_EQ(ox::WorldManager::getInstance().getSceneGraph().activeObjects().getCount(), 1);
    }
}

TEST(Splash, FrameTimesBelowTwoUseTheSpeedOfFrameTime16) {
    ox_test::World world(80, 24);
    for (const auto& [config, speed] :
         std::vector<std::pair<std::string, float>>{{"frame_time:0,", 74.5f / 16},
                                                    {"frame_time:1,", 74.5f / 16},
                                                    {"frame_time:2,", 74.5f},
                                                    {"frame_time:66,", 74.5f / 33}}) {
        ox::Config::getInstance().loadConfig(config);
        auto* p_banner = new ox::Splash;
        EXPECT_EQ(p_banner->getPosition(), Vector(103.5f, 12));
        EXPECT_FLOAT_EQ(p_banner->getVelocity().getX(), -speed) << config;
        ox::WorldManager::getInstance().markForDelete(p_banner);
    }
}

}  // namespace
