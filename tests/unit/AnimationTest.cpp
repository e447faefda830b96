// Frames, sprites and animation playback on a headless display (drawing
// fails there, so playback is observed through the animation's state).
#include <gtest/gtest.h>

#include "Animation.h"
#include "Config.h"
#include "DisplayManager.h"
#include "LogCapture.h"

namespace {

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ox::Config::getInstance().loadConfig("headless:true,");
        ASSERT_EQ(ox::DisplayManager::getInstance().startUp(), 0);
        m_sprite.setWidth(4);
        m_sprite.setHeight(3);
        m_sprite.setLabel("ship");
        for (char c : {'a', 'b', 'c'}) {
            ASSERT_EQ(m_sprite.addFrame(ox::Frame(4, 3, std::string(12, c))), 0);
        }
        m_animation.setSprite(&m_sprite);
    }
    void TearDown() override { ox::DisplayManager::getInstance().shutDown(); }

    // The frame index before each of count draws.
    std::vector<int> play(int count) {
        std::vector<int> shown;
        for (int i = 0; i < count; i++) {
            shown.push_back(m_animation.getIndex());
            m_animation.draw(ox::Vector(5, 5));
        }
        return shown;
    }

    ox_test::LogCapture m_log;
    ox::Sprite m_sprite{3};
    ox::Animation m_animation;
};

TEST_F(AnimationTest, SpriteAndFrameRefuseWhatTheyCannotHold) {
    EXPECT_EQ(m_sprite.addFrame(ox::Frame(4, 3, std::string(12, 'd'))), -1);
    EXPECT_EQ(m_sprite.getFrameCount(), 3);
    EXPECT_EQ(m_sprite.getFrame(3).getString(), "");
    EXPECT_EQ(m_sprite.getFrame(-1).getWidth(), 0);
    EXPECT_EQ(m_sprite.draw(5, ox::Vector(1, 1), 0, 0), 0);  // out of range draws nothing

    ox::Sprite impossible(-3);
    EXPECT_EQ(impossible.addFrame(ox::Frame(1, 1, "a")), -1);
    EXPECT_TRUE(m_log.contains("Sprite::Sprite(): Error! Unable to allocate -3 frames."));

    // A string too short for its size is refused rather than read past its end.
    EXPECT_EQ(ox::Frame(3, 2, "abc").draw(ox::Vector(), ox::RED, 0, 0), -1);
    EXPECT_TRUE(m_log.contains("Frame::draw(): Error! Frame of 3 x 2 needs 6 characters, has 3."));
    EXPECT_EQ(ox::Frame(3, 0, "abc").draw(ox::Vector(), ox::RED, 0, 0), 0);
    // Only transparent characters: nothing to draw, successfully.
    EXPECT_EQ(ox::Frame(2, 1, "##").draw(ox::Vector(), ox::RED, '#', 3), 0);
}

TEST_F(AnimationTest, SlowdownFreezeAndWrap) {
    m_sprite.setSlowdown(2);
    m_animation.setSprite(&m_sprite);
    EXPECT_EQ(play(7), (std::vector<int>{0, 0, 1, 1, 2, 2, 0}));

    m_sprite.setSlowdown(1);
    m_animation.setSprite(&m_sprite);
    EXPECT_EQ(play(4), (std::vector<int>{0, 1, 2, 0}));

    m_animation.setIndex(2);
    m_animation.setSlowdownCount(-1);
    EXPECT_EQ(play(3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(m_animation.getSlowdownCount(), -1);
}

TEST_F(AnimationTest, BoxTextAndName) {
    EXPECT_EQ(ox::Animation().getBox(), ox::Box(ox::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(m_animation.getBox(), ox::Box(ox::Vector(-2.0f, -1.5f), 4, 3));

    m_animation.setIndex(1);
    m_animation.setTransform(9);
    EXPECT_EQ(m_animation.toString(),
              "sprite ship, frame_idx 1, slowdown_count 0, transform UNKNOWN");

    // Clearing the sprite keeps the name, so the sprite can be found again.
    m_animation.setSprite(nullptr);
    EXPECT_EQ(m_animation.getName(), "ship");
    EXPECT_EQ(m_animation.draw(ox::Vector()), 0);
}

}  // namespace
