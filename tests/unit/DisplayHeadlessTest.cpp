// The display manager without a window: refusals before start-up, quiet
// failures in headless mode, the cell geometry, and a window without cells.
#include <gtest/gtest.h>

#include "Config.h"
#include "DisplayManager.h"
#include "LogCapture.h"

namespace {

// Every drawing call; the number that failed.
int drawAll() {
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    return -(display.drawCh(ox::Vector(1, 1), 'a', ox::RED, 0) +
             display.drawCh(ox::Vector(1, 1), 'a', 1, 2, 3, 0) +
             display.drawString(ox::Vector(1, 1), "ab", ox::CENTER_JUSTIFIED, ox::RED) +
             display.swapBuffers());
}

TEST(DisplayHeadless, RefusalsCellGeometryAndAWindowWithoutCells) {
    ox_test::LogCapture log(1);
    ox::Config::getInstance().loadConfig(
        "headless:true,window_horizontal_pixels:1024,window_vertical_pixels:768,");
    EXPECT_EQ(drawAll(), 4);
    EXPECT_EQ(log.count("DisplayManager not started!"), 3);

    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    EXPECT_EQ(display.getWindow(), nullptr);
    const std::size_t lines = log.messages().size();
    EXPECT_EQ(drawAll(), 4);
    EXPECT_EQ(log.messages().size(), lines);
    // 80 x 24 cells of 12.8 x 32 pixels.
    EXPECT_EQ(display.spacesToPixels(ox::Vector(10, 5)), ox::Vector(128, 160));
    EXPECT_EQ(display.pixelsToSpaces(ox::Vector(64, 16)), ox::Vector(5, 0.5f));
    display.shutDown();

    // A window without cells would divide by zero: refused.
    ox::Config::getInstance().loadConfig("window_horizontal_chars:0,");
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(log.contains(
        "DisplayManager::startUp(): Error! Window of 0 x 24 characters has no cells."));
}

}  // namespace
