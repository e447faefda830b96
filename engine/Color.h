#pragma once

namespace ox {

/// The colours the engine draws with: the eight colours of a text terminal,
/// and a marker for a colour outside that table. Stored as 32-bit signed.
enum Color : int {
    BLACK = 0,
    RED,
    GREEN,
    YELLOW,
    BLUE,
    MAGENTA,
    CYAN,
    WHITE,
    CUSTOM,
};

}  // namespace ox
