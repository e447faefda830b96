#pragma once

#include <SFML/Graphics/Color.hpp>

#include <cstdint>
#include <string>

namespace ox {

/// The colours the engine draws with: the eight terminal colours plus a marker
/// for a colour outside the table. Stored as a 32-bit signed integer.
enum Color : std::int32_t {
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

/// Stores the red, green and blue bytes of a table colour. Leaves the outputs
/// untouched for CUSTOM (silently) and for unknown values (with a log line).
void colorToRGB(Color color, unsigned char& red, unsigned char& green, unsigned char& blue);

/// The opaque SFML colour of a table colour; opaque white for anything else.
sf::Color colorToSFML(Color color);

/// The display name of a colour for log lines ("Unknown color" outside the table).
std::string colorToString(Color color);

}  // namespace ox
