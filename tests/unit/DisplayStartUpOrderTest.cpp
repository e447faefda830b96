// The display manager without a window, and the game manager's start-up with
// the display, input and resource managers: their order, the world fitted to
// the window, the reverse stop, and no display failing start-up cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "Config.h"
#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogCapture.h"
#include "ResourceManager.h"
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

// Ends the game loop on its first step.
class OneStep : public ox::Object {
public:
    OneStep() { registerInterest(ox::STEP_EVENT); }
    int eventHandler(const ox::Event*) override {
        ox::GameManager::getInstance().setGameOver(true);
        return 1;
    }
};

TEST(DisplayStartUpOrder, DisplayInputResourceWorldAndTheWorldFitsTheWindow) {
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
    new OneStep;  // the world manager deletes it at shut-down
    gm.run();
    EXPECT_EQ(gm.getStepCount(), 1);
    gm.shutDown();
    EXPECT_FALSE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_FALSE(ox::InputManager::getInstance().isStarted());
    EXPECT_FALSE(ox::ResourceManager::getInstance().isStarted());

    std::vector<std::string> expected = {
        "Display manager started.", "Input manager started.",  "Resource manager started.",
        "World manager started.",   "World manager stopped",   "Resource manager stopped",
        "Input manager stopped",    "Display manager stopped", "** Game engine stopped **"};
    std::vector<std::string> seen = log.messages();
    std::erase_if(seen, [&](const std::string& m) {
        return std::find(expected.begin(), expected.end(), m) == expected.end();
    });
    EXPECT_EQ(seen, expected);
}

// Where no display server is named, start-up fails with an error line
// instead of the process being ended inside the window system.
TEST(DisplayStartUpOrder, NoDisplayFailsStartUpWithAnError) {
    ox_test::LogCapture log(1, false);
    ox_test::writeFile("ox-config.txt", "networking:false,\n");
    unsetenv("DISPLAY");
    ox::GameManager& gm = ox::GameManager::getInstance();
    EXPECT_EQ(gm.startUp(), -1);
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): Error! No display to open a window on."));
    EXPECT_TRUE(log.contains("GameManager::startUp(): Error! Starting display manager."));
    EXPECT_FALSE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    gm.shutDown();
}

}  // namespace
