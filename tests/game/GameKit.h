#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "EventKeyboard.h"
#include "LogCapture.h"
#include "Object.h"

class GameStart;

namespace game_test {

/// The engine started as the game's main starts it (log level 5, flushing
/// on), headless, frame time 0, no networking (extra items come first and
/// override these), in a scratch directory linking the run directory's
/// sprites and sounds.
class HeadlessGame {
public:
    explicit HeadlessGame(const std::string& extra_config = "");
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    /// True when the game manager started.
    bool started() const { return m_started; }
    /// The captured log.
    ox_test::LogCapture& log() { return m_log; }
    /// The step counts at which the message was logged.
    std::vector<int> stepsOf(const std::string& message) const;

private:
    ox_test::LogCapture m_log{0, false};
    bool m_started = false;
};

/// Sends one keyboard event through the input manager.
void sendKey(ox::Keyboard::Key key, ox::EventKeyboardAction action);

/// A tap: a press and a release in the same step.
void tapKey(ox::Keyboard::Key key);

/// What the player saw of one note.
struct SeenNote {
    char key;         ///< Its lane character.
    int created;      ///< Chart entry during which it appeared.
    float column;     ///< Its column when it appeared.
    float first_row;  ///< Its row when it appeared.
    float last_row;   ///< Its row the last time it was seen.
    int gone = -1;    ///< Chart entry from which it was no longer seen; -1 while alive.
};

/// A player at the keyboard: every step after the conductor's, watches the
/// notes on the field and follows its plan. Create it after the start screen.
class Player : public ox::Object {
public:
    /// A player of the start screen's song.
    explicit Player(GameStart* p_game_start);

    /// Called every step with the step's number since the player began.
    std::function<void(Player&, int step)> plan;

    int eventHandler(const ox::Event* p_e) override;

    /// The chart entry the conductor played this step; -1 before the song.
    int entry() const;
    /// Taps the lane key of every lane that has a note in the perfect window.
    void playPerfectly();

    /// Every note seen, by object id.
    std::map<int, SeenNote> notes;
    /// Step events received while the song was playing.
    int song_steps = 0;
    /// The game manager's step count at chart entry 0; -1 before the song.
    int first_song_step = -1;

private:
    void watch();

    GameStart* m_p_game_start;
    int m_step = 0;
};

}  // namespace game_test
