// The game manager's start-up with the display and resource managers: their
// place in the order, the world fitted to the window, and the reverse stop.
#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "ResourceManager.h"
#include "WorldManager.h"

namespace {

// Ends the game loop on its first step.
class OneStep : public ox::Object {
public:
    OneStep() { registerInterest(ox::STEP_EVENT); }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::STEP_EVENT) {
            ox::GameManager::getInstance().setGameOver(true);
            return 1;
        }
        return 0;
    }
};

// Index of the first message equal to text, or -1.
int indexOf(const std::vector<std::string>& messages, const std::string& text) {
    for (std::size_t i = 0; i < messages.size(); i++) {
        if (messages[i] == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(DisplayStartUpOrder, DisplayFirstResourceBeforeWorldAndTheWorldFitsTheWindow) {
    ox_test::LogCapture log(5, false);
    ox_test::writeFile("ox-config.txt",
                       "headless:true,\nnetworking:false,\nwindow_horizontal_chars:100,\nwindow_"
                       "vertical_chars:30,\n");
    ox::GameManager& gm = ox::GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    EXPECT_TRUE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_TRUE(ox::ResourceManager::getInstance().isStarted());

    ox::WorldManager& world = ox::WorldManager::getInstance();
    const ox::Box window(ox::Vector(0, 0), 100, 30);
    EXPECT_EQ(world.getBoundary(), window);
    EXPECT_EQ(world.getView(), window);
    EXPECT_EQ(world.getViewSlack(), ox::Vector(0.33333334f, 0.33333334f));

    // A step runs with the (headless) display in the loop.
    new OneStep;  // the world manager deletes it at shut-down
    gm.run();
    EXPECT_EQ(gm.getStepCount(), 1);
    gm.shutDown();
    EXPECT_FALSE(ox::DisplayManager::getInstance().isStarted());
    EXPECT_FALSE(ox::ResourceManager::getInstance().isStarted());

    const std::vector<std::string> messages = log.messages();
    const int display = indexOf(messages, "Display manager started.");
    const int resource = indexOf(messages, "Resource manager started.");
    const int world_started = indexOf(messages, "World manager started.");
    ASSERT_GE(display, 0);
    EXPECT_LT(display, resource);
    EXPECT_LT(resource, world_started);
    const int world_stopped = indexOf(messages, "World manager stopped");
    const int resource_stopped = indexOf(messages, "Resource manager stopped");
    const int display_stopped = indexOf(messages, "Display manager stopped");
    ASSERT_GE(world_stopped, 0);
    EXPECT_LT(world_stopped, resource_stopped);
    EXPECT_LT(resource_stopped, display_stopped);
    EXPECT_LT(display_stopped, indexOf(messages, "** Game engine stopped **"));
}

TEST(DisplayStartUpOrder, AFailingDisplayStopsStartUp) {
    ox_test::LogCapture log(1, false);
    ox_test::writeFile("ox-config.txt",
                       "headless:true,\nnetworking:false,\nwindow_vertical_chars:-1,\n");
    ox::GameManager& gm = ox::GameManager::getInstance();
    EXPECT_EQ(gm.startUp(), -1);
    EXPECT_TRUE(log.contains("GameManager::startUp(): Error! Starting display manager."));
    EXPECT_FALSE(ox::ResourceManager::getInstance().isStarted());
    EXPECT_FALSE(ox::WorldManager::getInstance().isStarted());
    gm.shutDown();
}

}  // namespace
