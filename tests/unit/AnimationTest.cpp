// Frames, sprites and animation playback, on a headless display (drawing
// fails there, so playback state is observed without a window).
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
    }
    void TearDown() override { ox::DisplayManager::getInstance().shutDown(); }

    // A sprite of count frames "0", "1", ... of one cell.
    static void fill(ox::Sprite& sprite, int count) {
        sprite.setWidth(1);
        sprite.setHeight(1);
        for (int i = 0; i < count; i++) {
            ASSERT_EQ(sprite.addFrame(ox::Frame(1, 1, std::string(1, static_cast<char>('0' + i)))),
                      0);
        }
    }

    ox_test::LogCapture m_log;
};

TEST_F(AnimationTest, SpriteHoldsUpToItsCapacity) {
    ox::Sprite sprite(2);
    EXPECT_EQ(sprite.getColor(), ox::WHITE);
    EXPECT_EQ(sprite.getSlowdown(), 1);
    EXPECT_EQ(sprite.getTransparency(), 0);
    EXPECT_EQ(sprite.getWidth(), 0);
    EXPECT_EQ(sprite.getLabel(), "[Undefined]");
    EXPECT_EQ(sprite.addFrame(ox::Frame(2, 1, "ab")), 0);
    EXPECT_EQ(sprite.addFrame(ox::Frame(2, 1, "cd")), 0);
    EXPECT_EQ(sprite.addFrame(ox::Frame(2, 1, "ef")), -1);
    EXPECT_EQ(sprite.getFrameCount(), 2);
    EXPECT_EQ(sprite.getFrame(1).getString(), "cd");
    EXPECT_EQ(sprite.getFrame(2).getString(), "");
    EXPECT_EQ(sprite.getFrame(-1).getWidth(), 0);
    // Out of range draws nothing and succeeds, even on a headless display.
    EXPECT_EQ(sprite.draw(5, ox::Vector(1, 1), 0, 0), 0);
}

TEST_F(AnimationTest, SpriteWithImpossibleCapacity) {
    ox::Sprite sprite(-3);
    EXPECT_EQ(sprite.getMaxFrameCount(), 0);
    EXPECT_EQ(sprite.addFrame(ox::Frame(1, 1, "a")), -1);
    EXPECT_TRUE(m_log.contains("Sprite::Sprite(): Error! Unable to allocate -3 frames."));
}

TEST_F(AnimationTest, FrameDrawChecksItsString) {
    EXPECT_EQ(ox::Frame().draw(ox::Vector(), ox::RED, 0, 0), 0);
    EXPECT_EQ(ox::Frame(3, 0, "abc").draw(ox::Vector(), ox::RED, 0, 0), 0);
    // Headless: the first character cannot be drawn.
    EXPECT_EQ(ox::Frame(3, 1, "abc").draw(ox::Vector(), ox::RED, 0, 0), -1);
    // A string too short for its size is refused rather than read past its end.
    EXPECT_EQ(ox::Frame(3, 2, "abc").draw(ox::Vector(), ox::RED, 0, 0), -1);
    EXPECT_TRUE(m_log.contains("Frame::draw(): Error! Frame of 3 x 2 needs 6 characters, has 3."));
    // A frame made only of transparent characters draws nothing, successfully.
    EXPECT_EQ(ox::Frame(2, 1, "##").draw(ox::Vector(), ox::RED, '#', 3), 0);
}

TEST_F(AnimationTest, SlowdownShowsEachFrameForSeveralDraws) {
    ox::Sprite sprite(3);
    fill(sprite, 3);
    sprite.setSlowdown(2);
    ox::Animation animation;
    animation.setSprite(&sprite);
    std::vector<int> shown;
    for (int i = 0; i < 7; i++) {
        shown.push_back(animation.getIndex());
        // Drawing fails headless, but the animation advances all the same.
        EXPECT_EQ(animation.draw(ox::Vector(5, 5)), -1);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 2, 2, 0}));

    sprite.setSlowdown(1);
    animation.setSprite(&sprite);
    shown.clear();
    for (int i = 0; i < 4; i++) {
        shown.push_back(animation.getIndex());
        animation.draw(ox::Vector());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(AnimationTest, FrozenAnimationKeepsItsFrame) {
    ox::Sprite sprite(3);
    fill(sprite, 3);
    ox::Animation animation;
    animation.setSprite(&sprite);
    animation.setIndex(2);
    animation.setSlowdownCount(-1);
    for (int i = 0; i < 5; i++) {
        animation.draw(ox::Vector());
    }
    EXPECT_EQ(animation.getIndex(), 2);
    EXPECT_EQ(animation.getSlowdownCount(), -1);
}

TEST_F(AnimationTest, SpriteNameIndexAndModifiedFlag) {
    ox::Animation animation;
    EXPECT_EQ(animation.getSprite(), nullptr);
    EXPECT_TRUE(animation.isModified());
    EXPECT_EQ(animation.getName(), "");
    EXPECT_EQ(animation.draw(ox::Vector()), 0);  // no sprite: nothing to do

    ox::Sprite sprite(2);
    fill(sprite, 2);
    sprite.setLabel("ship");
    animation.setIndex(1);
    animation.setModified(false);
    animation.setSprite(&sprite);
    EXPECT_EQ(animation.getName(), "ship");
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_TRUE(animation.isModified());

    animation.setModified(false);
    animation.setIndex(0);
    animation.setSlowdownCount(0);
    EXPECT_FALSE(animation.isModified());  // nothing changed
    animation.setIndex(1);
    EXPECT_TRUE(animation.isModified());

    // Clearing the sprite keeps the name, so the sprite can be found again.
    animation.setSprite(nullptr);
    EXPECT_EQ(animation.getSprite(), nullptr);
    EXPECT_EQ(animation.getName(), "ship");
}

TEST_F(AnimationTest, BoxAndText) {
    ox::Animation animation;
    ox::Box box = animation.getBox();
    EXPECT_EQ(box.getCorner(), ox::Vector(-0.5f, -0.5f));
    EXPECT_FLOAT_EQ(box.getHorizontal(), 0.99f);
    EXPECT_FLOAT_EQ(box.getVertical(), 0.99f);

    ox::Sprite sprite(1);
    sprite.setWidth(4);
    sprite.setHeight(3);
    sprite.setLabel("ship");
    animation.setSprite(&sprite);
    box = animation.getBox();
    EXPECT_EQ(box.getCorner(), ox::Vector(-2.0f, -1.5f));
    EXPECT_EQ(box.getHorizontal(), 4.0f);
    EXPECT_EQ(box.getVertical(), 3.0f);

    animation.setIndex(3);
    animation.setSlowdownCount(-1);
    animation.setTransform(2);
    EXPECT_EQ(animation.toString(),
              "sprite ship, frame_idx 3, slowdown_count -1, transform HORIZONTAL");
    animation.setTransform(9);
    EXPECT_EQ(animation.toString(),
              "sprite ship, frame_idx 3, slowdown_count -1, transform UNKNOWN");
}

}  // namespace
