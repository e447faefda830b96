#include "GameManager.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iterator>

#include "Clock.h"
#include "Config.h"
#include "DisplayManager.h"
#include "EventStep.h"
#include "InputManager.h"
#include "LogManager.h"
#include "NetworkManager.h"
#include "PathManager.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "WorldManager.h"

namespace ox {

namespace {

const char* const STARS = "****************************************************";

}  // namespace

GameManager::GameManager()
    : m_game_over(false), m_frame_time(0), m_step_count(0), m_step_lateness(0) {
    setType("GameManager");
}

namespace {

/// One engine manager as the game manager starts and stops it: started in
/// the table's order, stopped in the reverse order; the network manager only
/// when the configuration turns networking on.
struct ManagerEntry {
    Manager& (*manager)();
    bool networking_only;
    const char* start_failure;
    const char* started;
    const char* stopped;
};

template <typename T>
Manager& instanceOf() {
    return T::getInstance();
}

// The path manager comes last: it takes its least cycle time from the frame time.
const ManagerEntry MANAGERS[] = {
    {instanceOf<DisplayManager>, false, "GameManager::startUp(): Error! Starting display manager.",
     "Display manager started.", "Display manager stopped"},
    {instanceOf<InputManager>, false, "GameManager::startUp(): Error! Starting input manager.",
     "Input manager started.", "Input manager stopped"},
    {instanceOf<NetworkManager>, true, "GameManager::startUp(): Error! Starting network manager.",
     "Network manager started.", "Network manager stopped"},
    {instanceOf<ResourceManager>, false,
     "GameManager::startUp(): Error! Starting resource manager.", "Resource manager started.",
     "Resource manager stopped"},
    {instanceOf<WorldManager>, false, "GameManager::startUp(): Error starting world manager.",
     "World manager started.", "World manager stopped"},
    {instanceOf<PathManager>, false, "GameManager::startUp(): Error starting path manager.",
     "Path manager started.", "Path manager stopped"},
};

/// True when the entry's manager takes part with this configuration.
bool inUse(const ManagerEntry& entry) {
    return !entry.networking_only || Config::getInstance().getNetworking();
}

}  // namespace

GameManager& GameManager::getInstance() {
    static GameManager game_manager;
    return game_manager;
}

int GameManager::startManager(Manager& manager, const char* failure, const char* success) {
    LogManager& log = LogManager::getInstance();
    if (manager.startUp() != 0) {
        log.writeLog("%s", failure);
        return -1;
    }
    log.writeLog(1, "%s", success);
    return 0;
}

void GameManager::stopManager(Manager& manager, const char* stopped) {
    if (manager.isStarted()) {
        manager.shutDown();
        LogManager::getInstance().writeLog(1, "%s", stopped);
    }
}

int GameManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    Config& config = Config::getInstance();
    // The configuration comes first: it names the log file.
    config.loadConfig("");
    if (log.startUp() != 0) {
        log.writeLog("GameManager::startUp(): Error! Starting log manager.");
        return -1;
    }
    log.writeLog("%s", STARS);
    log.writeLog("** Orvix version %.2f **", ORVIX_VERSION);
    log.writeLog("** Game engine started **");
    log.writeLog("%s", STARS);
    config.logConfig();
    log.writeLog(1, "Working directory:");
    log.writeLog(1, "  %s", platform::workingDirectory().c_str());
    log.writeLog(1, "Log Manager started.");

    m_frame_time = config.getFrameTime();
    log.writeLog(5, "GameManager::startUp(): frame time is %d milliseconds", m_frame_time);

    // The managers, in start-up order; the first that fails ends start-up.
    for (const ManagerEntry& entry : MANAGERS) {
        if (inUse(entry) &&
            startManager(entry.manager(), entry.start_failure, entry.started) != 0) {
            return -1;
        }
    }
    fitWorldToWindow();
    seedRandom();
    if (!platform::requestTimerResolution(1)) {
        log.writeLog(1,
                     "GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec.");
    }
    m_game_over = false;
    Manager::startUp();
    log.writeLog(1, "GameManager successfully started.");
    return 0;
}

void GameManager::fitWorldToWindow() {
    const DisplayManager& display = DisplayManager::getInstance();
    const Box window(Vector(0, 0), static_cast<float>(display.getHorizontal()),
                     static_cast<float>(display.getVertical()));
    WorldManager& world_manager = WorldManager::getInstance();
    world_manager.setBoundary(window);
    world_manager.setView(window);
    world_manager.setViewSlack(Vector(1.0f / 3.0f, 1.0f / 3.0f));
}

void GameManager::seedRandom() {
    int seed = Config::getInstance().getRandomSeed();
    if (seed == 0) {
        seed = static_cast<int>(std::time(nullptr));
    }
    if (seed != -1) {
        LogManager::getInstance().writeLog(10, "GameManager()::startUp(): srand() seed with %d",
                                           seed);
        std::srand(static_cast<unsigned int>(seed));
    }
}

void GameManager::shutDown() {
    LogManager& log = LogManager::getInstance();
    m_game_over = true;
    if (!platform::releaseTimerResolution(1)) {
        log.writeLog(1,
                     "GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec.");
    }
    // The managers, in the reverse of start-up order.
    for (auto entry = std::rbegin(MANAGERS); entry != std::rend(MANAGERS); ++entry) {
        if (inUse(*entry)) {
            stopManager(entry->manager(), entry->stopped);
        }
    }
    log.writeLog("%s", STARS);
    log.writeLog("** Game engine stopped **");
    if (log.isStarted()) {
        log.shutDown();
    }
    Manager::shutDown();
}

bool GameManager::isValid(std::string event_name) const {
    return event_name == STEP_EVENT;
}

void GameManager::run() {
    Clock clock;
    LogManager::getInstance().writeLog(1, "GameManager::run(): starting game loop");
    m_game_over = false;
    m_step_count = 0;
    LogManager::getInstance().setStepCount(m_step_count);
    std::int64_t adjust = 0;
    // Ahead of background work, so that a busy machine does not hold back a
    // step the player is waiting for.
    platform::raiseCallingThread(platform::ThreadPriority::RAISED);
    do {
        step(clock, adjust);
    } while (!m_game_over);
    platform::lowerCallingThread();
    LogManager::getInstance().writeLog(1, "GameManager::run(): end of game loop");
}

void GameManager::step(Clock& clock, std::int64_t& adjust) {
    clock.delta();
    // What the player did up to this moment is this step's input.
    InputManager::getInstance().takeInput();
    m_step_lateness = adjust;
    EventStep step_event(m_step_count);
    onEvent(&step_event);
    DisplayManager::getInstance().swapBuffers();
    InputManager::getInstance().getInput();
    WorldManager& world_manager = WorldManager::getInstance();
    world_manager.update();
    world_manager.draw();
    if (Config::getInstance().getNetworking()) {
        NetworkManager::getInstance().service();
    }

    // The path searches get 95% of what is left of the frame (possibly
    // nothing: the path manager then still takes its least cycle time).
    const std::int64_t loop_time = clock.split();
    const float spare = static_cast<float>(m_frame_time * 1000LL - loop_time - adjust);
    PathManager::getInstance().cycle(static_cast<int>(spare * 0.95 / 1000.0));

    // Sleep for what is left of the frame, less how late this step started
    // against the schedule of one step every frame_time.
    const std::int64_t split_time = clock.split();
    const std::int64_t remaining = m_frame_time * 1000LL - split_time - adjust;
    if (remaining > 0) {
        const std::int64_t before = clock.split();
        const bool woken = sleepOrWake(clock, remaining);
        // Late after an oversleep; early (negative) when a press woke the loop.
        const std::int64_t late = clock.split() - before - remaining;
        adjust = woken ? late : std::max<std::int64_t>(late, 0);
    } else {
        // An overrun is made up by the steps after it, which sleep less until
        // the loop is back on schedule: the game's time follows real time.
        // Past MAX_STEPS_BEHIND frames behind, a new schedule starts from now.
        adjust = m_frame_time > 0 ? -remaining : 0;
        if (adjust > MAX_STEPS_BEHIND * m_frame_time * 1000LL) {
            if (m_step_count > 0) {
                LogManager::getInstance().writeLog(
                    "GameManager::run(): Can't keep up! frame_time %d ms, split %d ms",
                    m_frame_time, static_cast<int>(split_time / 1000));
            }
            adjust = 0;
        }
    }
    m_step_count++;
    LogManager::getInstance().setStepCount(m_step_count);
}

bool GameManager::sleepOrWake(const Clock& clock, std::int64_t microseconds) {
    InputManager& input = InputManager::getInstance();
    if (!input.readsWindow()) {
        // The whole remainder, to the microsecond: a sleep cut to whole
        // milliseconds would end every step early by the dropped fraction.
        platform::sleepMicroseconds(microseconds);
        return false;
    }
    const std::int64_t end = clock.split() + microseconds;
    for (std::int64_t left = microseconds; left > 0; left = end - clock.split()) {
        if (input.inputWaiting()) {
            platform::sleepMicroseconds(std::min(left, KEY_CHORD_US));
            return true;
        }
        platform::sleepMicroseconds(std::min(left, INPUT_POLL_US));
    }
    return false;
}

void GameManager::setGameOver(bool new_game_over) {
    m_game_over = new_game_over;
}

bool GameManager::getGameOver() const {
    return m_game_over;
}

int GameManager::getFrameTime() const {
    return m_frame_time;
}

int GameManager::getStepCount() const {
    return m_step_count;
}

std::int64_t GameManager::getStepLateness() const {
    return m_step_lateness;
}

}  // namespace ox
