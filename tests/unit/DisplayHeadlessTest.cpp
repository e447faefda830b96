// The display manager without a window: cell geometry, conversions, refusals
// before start-up and in headless mode.
#include <gtest/gtest.h>

#include "Config.h"
#include "DisplayManager.h"
#include "LogCapture.h"
#include "LogManager.h"

namespace {

class DisplayHeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ox::Config::getInstance().loadConfig(
            "headless:true,window_horizontal_pixels:1024,window_vertical_pixels:768,"
            "window_horizontal_chars:80,window_vertical_chars:24,");
    }
    ox_test::LogCapture m_log{1};
};

TEST_F(DisplayHeadlessTest, DrawingBeforeStartUpIsRefused) {
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    EXPECT_EQ(display.getType(), "DisplayManager");
    EXPECT_EQ(display.drawCh(ox::Vector(1, 1), 'a', ox::RED, 0), -1);
    EXPECT_EQ(display.drawCh(ox::Vector(1, 1), 'a', 1, 2, 3, 0), -1);
    EXPECT_EQ(display.drawString(ox::Vector(1, 1), "ab", ox::LEFT_JUSTIFIED, ox::RED), -1);
    EXPECT_EQ(display.swapBuffers(), -1);
    EXPECT_EQ(m_log.count("DisplayManager not started!"), 3);
    EXPECT_EQ(display.getWindow(), nullptr);
}

TEST_F(DisplayHeadlessTest, HeadlessStartKeepsTheCellGeometry) {
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    EXPECT_TRUE(display.isStarted());
    EXPECT_TRUE(m_log.contains("DisplayManager::startUp(): no graphics in headless mode."));
    EXPECT_EQ(display.getWindow(), nullptr);
    EXPECT_EQ(display.getHorizontal(), 80);
    EXPECT_EQ(display.getVertical(), 24);
    EXPECT_FLOAT_EQ(ox::charWidth(), 12.8f);
    EXPECT_FLOAT_EQ(ox::charHeight(), 32.0f);

    const ox::Vector pixels = display.spacesToPixels(ox::Vector(10, 5));
    EXPECT_FLOAT_EQ(pixels.getX(), 128.0f);
    EXPECT_FLOAT_EQ(pixels.getY(), 160.0f);
    const ox::Vector spaces = display.pixelsToSpaces(ox::Vector(128, 160));
    EXPECT_FLOAT_EQ(spaces.getX(), 10.0f);
    EXPECT_FLOAT_EQ(spaces.getY(), 5.0f);

    // Headless drawing fails quietly.
    const std::size_t lines = m_log.messages().size();
    EXPECT_EQ(display.drawCh(ox::Vector(1, 1), 'a', ox::RED, 0), -1);
    EXPECT_EQ(display.drawCh(ox::Vector(1, 1), 'a', 1, 2, 3, 0), -1);
    EXPECT_EQ(display.drawString(ox::Vector(1, 1), "ab", ox::CENTER_JUSTIFIED, ox::RED), -1);
    EXPECT_EQ(display.swapBuffers(), -1);
    EXPECT_EQ(m_log.messages().size(), lines);

    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(
        m_log.contains("DisplayManager::startup(): Warning! DisplayManager already started."));

    display.shutDown();
    EXPECT_FALSE(display.isStarted());
}

TEST_F(DisplayHeadlessTest, ConversionsAreLoggedAtLevelThirty) {
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    (void)display.spacesToPixels(ox::Vector(1, 1));
    EXPECT_FALSE(m_log.containsPart("spacesToPixels"));
    ox::LogManager::getInstance().setLogLevel(30);
    (void)display.spacesToPixels(ox::Vector(10, 5));
    (void)display.pixelsToSpaces(ox::Vector(64, 16));
    EXPECT_TRUE(
        m_log.contains("spacesToPixels(int): spaces (10.00,5.00) = pixels (128.00,160.00)"));
    EXPECT_TRUE(m_log.contains("pixelsToSpaces(): pixels (64.00,16.00) = spaces (5.00,0.50)"));
    display.shutDown();
    EXPECT_TRUE(m_log.contains("DisplayManager::shutDown(): successfully stopped."));
}

TEST_F(DisplayHeadlessTest, AWindowWithoutCellsIsRefused) {
    ox::Config::getInstance().loadConfig("window_horizontal_chars:0,");
    EXPECT_EQ(ox::DisplayManager::getInstance().startUp(), -1);
    EXPECT_FALSE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_TRUE(m_log.contains(
        "DisplayManager::startUp(): Error! Window of 0 x 24 characters has no cells."));
}

}  // namespace
