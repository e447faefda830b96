#pragma once

#include "ViewObject.h"

class Conductor;

namespace ox {
class Event;
}

/// The start screen: the title sprite at the centre of the view until the
/// song starts. P starts the song (once), Q ends the game.
class GameStart : public ox::ViewObject {
public:
    /// Shows the "gamestart" sprite at the centre, creates the idle
    /// conductor, and listens to the keyboard.
    GameStart();

    /// P starts the song, Q sets game over; 1 for every keyboard event
    /// (press, release or held), 0 for anything else.
    int eventHandler(const ox::Event* p_e) override;

    /// The title sprite until the song starts, then nothing (0).
    int draw() override;

    /// Builds the play field (pads, score board, hit line, out strip) and
    /// sets the conductor playing. Does nothing once the song has started.
    void start();

    /// True once the song has started.
    bool isStarted() const { return m_started; }
    /// The song's conductor (owned by the world).
    Conductor* getConductor() const { return m_p_conductor; }

private:
    bool m_started;            ///< The song has started.
    Conductor* m_p_conductor;  ///< The song's conductor; the world owns it.
};
