#pragma once

#include "Object.h"

namespace ox {
class Event;
class EventKeyboard;
class Sound;
}  // namespace ox

/// One note of the chart, falling down its lane a quarter row per step. The
/// lane's key scores it while it is near the hit line: 20 points in the
/// perfect window, 10 in the good window, with the lane's drum sound. A note
/// that is not hit is removed when it reaches the out strip or leaves the world.
class Note : public ox::Object {
public:
    /// Points for a hit in the perfect window.
    static constexpr int PERFECT_POINTS = 20;
    /// Points for a hit in the good window.
    static constexpr int GOOD_POINTS = 10;
    /// Row where a note starts.
    static constexpr float START_ROW = 2.0f;
    /// Rows a note falls per step.
    static constexpr float ROWS_PER_STEP = 0.25f;

    /// A note of the lane with this character ('z', 'x', 'c' or 'v') at the
    /// top of its lane, falling, registered for keyboard and collision events.
    explicit Note(char key);

    /// Keyboard events go to the hit test (1); an out event or a collision
    /// with the out strip removes the note (0); anything else 0.
    int eventHandler(const ox::Event* p_e) override;

    /// The hit test: scores the note when the event's key is its lane key and
    /// the note is in a window. Press, release and held-key events all count.
    void keyboard(const ox::EventKeyboard* p_keyboard_event);

    /// The lane character.
    char getKey() const { return m_key; }
    /// True once the note has been scored.
    bool isHit() const { return m_hit; }

    /// The column of a lane's notes for a display of h cells across; the
    /// middle column for a character that names no lane.
    static int laneColumn(char key, int h);

private:
    /// Adds the points to the score board, plays the drum and removes the note.
    void score(int points);

    char m_key;            ///< The lane character.
    bool m_hit;            ///< Scored already.
    ox::Sound* m_p_sound;  ///< The lane's drum, not owned; null when it did not load.
};
