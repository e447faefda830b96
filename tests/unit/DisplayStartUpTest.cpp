// The display manager without a window, the world fitted to the window at the
// game manager's start-up, and no display failing start-up cleanly.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Config.h"
#include "DisplayManager.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "Platform.h"
#include "WorldManager.h"

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
    EXPECT_EQ(drawAll(), 4);  // quietly
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

TEST(DisplayStartUp, TheWorldFitsTheWindow) {
    ox_test::LogCapture log(5, false);
    ox_test::writeFile("ox-config.txt",
                       "headless:true,\nnetworking:false,\n"
                       "window_horizontal_chars:100,\nwindow_vertical_chars:30,\n");
    ox::GameManager& gm = ox::GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    ox::WorldManager& world = ox::WorldManager::getInstance();
    const ox::Box window(ox::Vector(0, 0), 100, 30);
    EXPECT_EQ(world.getBoundary(), window);
    EXPECT_EQ(world.getView(), window);
    EXPECT_EQ(world.getViewSlack(), ox::Vector(0.33333334f, 0.33333334f));
    gm.shutDown();
}

// Where no display server is named, start-up fails with an error line
// instead of the process being ended inside the window system.
TEST(DisplayStartUp, NoDisplayFailsStartUpWithAnError) {
    ox_test::LogCapture log(1, false);
    ox_test::writeFile("ox-config.txt", "networking:false,\n");
    ox::platform::unsetEnvironment("DISPLAY");
    if (ox::platform::hasDisplay()) {
        GTEST_SKIP() << "windows here open without a display server";
    }
    ox::GameManager& gm = ox::GameManager::getInstance();
    EXPECT_EQ(gm.startUp(), -1);
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): Error! No display to open a window on."));
    EXPECT_TRUE(log.contains("GameManager::startUp(): Error! Starting display manager."));
    EXPECT_FALSE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    gm.shutDown();
}

}  // namespace
