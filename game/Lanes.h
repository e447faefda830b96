#pragma once

// The drum game's four lanes and the rows of its hit line: what the notes, the
// pads, the hit line, the out strip, the conductor and the tools share.

#include <array>

#include "EventKeyboard.h"

namespace lanes {

/// One lane: its note character (also its key letter), key, drum sound, and
/// where its notes and its pad are drawn.
struct Lane {
    char key;                        ///< Note character, lower case.
    ox::Keyboard::Key keyboard_key;  ///< The key that hits its notes.
    const char* sound_label;         ///< Its drum sound.
    int note_column;                 ///< Column of its notes, from the display's middle.
    double pad_letter_column;        ///< Column of its pad letter, from the display's middle.
    float pad_left;                  ///< Left edge of its pad, in window pixels.
};

/// Number of lanes.
constexpr int COUNT = 4;

/// The lanes, left to right.
constexpr std::array<Lane, COUNT> LANES = {{
    {'z', ox::Keyboard::Z, "bass", -17, -17.0, 250.0f},
    {'x', ox::Keyboard::X, "tom", -5, -5.1, 400.0f},
    {'c', ox::Keyboard::C, "snare", 6, 6.5, 550.0f},
    {'v', ox::Keyboard::V, "cymbal", 18, 17.8, 700.0f},
}};

/// The lane of a note character, or null when it names none.
constexpr const Lane* laneOf(char key) {
    for (const Lane& lane : LANES) {
        if (lane.key == key) {
            return &lane;
        }
    }
    return nullptr;
}

// Rows below the display's middle row (V/2).

/// The hit line.
constexpr int HIT_LINE_ROW = 5;
/// A note strictly between these rows scores perfect.
constexpr float PERFECT_FROM = HIT_LINE_ROW;
constexpr float PERFECT_TO = HIT_LINE_ROW + 1;
/// A note strictly between these rows, outside the perfect window, scores good.
constexpr float GOOD_FROM = HIT_LINE_ROW - 1;
constexpr float GOOD_TO = HIT_LINE_ROW + 2;
/// The top of the out strip, which takes the notes nobody hit.
constexpr int OUT_ROW = 8;

}  // namespace lanes
