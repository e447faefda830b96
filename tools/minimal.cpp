// A minimal program on the engine: starts it, runs the game loop for three
// seconds, shuts down, and says where the log file is.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Clock.h"
#include "Config.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Object.h"

namespace {

constexpr std::int64_t RUN_TIME_US = 3000000;

/// Ends the game once three seconds of steps have gone by.
class Timer : public ox::Object {
public:
    Timer() {
        setType("Timer");
        registerInterest(ox::STEP_EVENT);
    }

    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::STEP_EVENT) {
            return 0;
        }
        if (m_clock.split() >= RUN_TIME_US) {
            ox::GameManager::getInstance().setGameOver();
        }
        return 1;
    }

private:
    ox::Clock m_clock;
};

std::string logFilePath() {
    const char* p_env = std::getenv("ORVIX_LOG");
    const std::string name = p_env != nullptr ? p_env : ox::Config::getInstance().getLogFile();
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::absolute(name, ignored);
    return path.empty() ? name : path.string();
}

}  // namespace

int main() {
    ox::GameManager& game_manager = ox::GameManager::getInstance();
    // Level 1 keeps the configuration block and the start and stop lines.
    ox::LogManager::getInstance().setLogLevel(1);
    if (game_manager.startUp() != 0) {
        std::fprintf(stderr, "orvix_minimal: the engine did not start; see %s\n",
                     logFilePath().c_str());
        game_manager.shutDown();
        return 1;
    }
    new Timer;  // the world manager deletes it at shut-down
    game_manager.run();
    const int steps = game_manager.getStepCount();
    game_manager.shutDown();
    std::printf("Ran %d steps of %d ms. Log file: %s\n", steps, game_manager.getFrameTime(),
                logFilePath().c_str());
    return 0;
}
