#pragma once

#include <cstdint>
#include <string>

#include "Manager.h"

namespace ox {

class Clock;

/// The engine's version, shown in the start-up banner.
constexpr double ORVIX_VERSION = 4.24;

/// How many frames the game loop may fall behind its schedule and still make
/// them up; further behind, it starts a new schedule and warns.
constexpr int MAX_STEPS_BEHIND = 10;

/// While the loop sleeps between steps in a window, it looks for the
/// player's presses this often (microseconds); one ends the sleep, so that
/// the next step reads it at once instead of up to a frame later.
constexpr std::int64_t INPUT_POLL_US = 1000;

/// After a press ends the sleep, the loop waits this long (microseconds) for
/// the presses made with it, so that keys struck together reach one step.
constexpr std::int64_t KEY_CHORD_US = 1000;

/// Starts and stops every other manager in a fixed order and runs the
/// frame-paced game loop. Delivers the step event "ox-step".
///
/// A game starts the engine, creates its objects, runs the loop until game
/// over, and stops the engine:
/// \code
/// ox::GameManager& game = ox::GameManager::getInstance();
/// if (game.startUp() != 0) {  // reads ox-config.txt, opens the window
///     game.shutDown();
///     return 1;
/// }
/// new Star;  // an ox::Object subclass; the world owns it
/// game.run();
/// game.shutDown();
/// \endcode
class GameManager : public Manager {
public:
    /// The one instance, created on first use.
    static GameManager& getInstance();

    /// Loads the configuration, starts the log and the other managers in
    /// order, seeds the random generator. 0 on success, -1 on the first failure.
    int startUp() override;

    /// Stops the started managers in reverse order, the log manager last.
    void shutDown() override;

    /// True only for "ox-step".
    bool isValid(std::string event_name) const override;

    /// Runs the game loop until a step ends with game over set. The loop's
    /// thread runs at a raised priority while the system grants one.
    void run();

    /// Sets the game-over flag: the loop ends after the step in progress.
    void setGameOver(bool new_game_over = true);

    /// The game-over flag.
    bool getGameOver() const;

    /// Target duration of one step, in milliseconds.
    int getFrameTime() const;

    /// Number of steps completed since the loop began.
    int getStepCount() const;

    /// How late the current step started against the loop's schedule of one
    /// step every frame time, in microseconds (0 when on time, negative when
    /// a press in a window started it early). The steps after it make it up;
    /// something that keeps real time from a step (music started there) can
    /// take it into account.
    std::int64_t getStepLateness() const;

private:
    GameManager();

    /// Starts one manager, logging its failure line (always) or success line (level 1).
    int startManager(Manager& manager, const char* failure, const char* success);

    /// Stops one manager when it is started, then logs the line at level 1.
    void stopManager(Manager& manager, const char* stopped);

    /// Makes the world's boundary and view the window's size in cells, view slack 1/3.
    void fitWorldToWindow();

    /// Seeds the random generator from the configuration (0: the clock, -1: not at all).
    void seedRandom();

    /// Runs one step: the step event, the managers' work, then the sleep.
    /// adjust carries how late the next step starts against the loop's
    /// schedule, in microseconds: the previous step's oversleep or overrun.
    void step(Clock& clock, std::int64_t& adjust);

    /// Sleeps for the given microseconds, or, where the input manager reads a
    /// window, until a press waits for it (and KEY_CHORD_US more). True when
    /// a press ended the sleep.
    static bool sleepOrWake(const Clock& clock, std::int64_t microseconds);

    bool m_game_over;              ///< The loop ends after the current step when set.
    int m_frame_time;              ///< Target step duration in milliseconds.
    int m_step_count;              ///< Steps completed since run began.
    std::int64_t m_step_lateness;  ///< Lateness of the current step's start, microseconds.
};

}  // namespace ox
