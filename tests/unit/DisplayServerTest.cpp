// Starting the engine where no display server is named must fail cleanly,
// not end the process inside the window system.
#include <gtest/gtest.h>

#include <cstdlib>

#include "DisplayManager.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "WorldManager.h"

namespace {

TEST(DisplayServer, NoDisplayFailsStartUpWithAnError) {
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
