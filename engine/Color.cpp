#include "Color.h"

#include "LogManager.h"

namespace ox {

namespace {

struct ColorEntry {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    const char* name;
};

// Indexed by the Color value, BLACK to WHITE.
const ColorEntry COLOR_TABLE[] = {
    {0, 0, 0, "Black"},  {255, 0, 0, "Red"},       {0, 255, 0, "Green"},  {255, 255, 0, "Yellow"},
    {0, 0, 255, "Blue"}, {255, 0, 255, "Magenta"}, {0, 255, 255, "Cyan"}, {255, 255, 255, "White"},
};

bool inTable(Color color) {
    return color >= BLACK && color <= WHITE;
}

}  // namespace

void colorToRGB(Color color, unsigned char& red, unsigned char& green, unsigned char& blue) {
    if (inTable(color)) {
        red = COLOR_TABLE[color].red;
        green = COLOR_TABLE[color].green;
        blue = COLOR_TABLE[color].blue;
        return;
    }
    if (color != CUSTOM) {
        LogManager::getInstance().writeLog(5, "colorToRGB(): Color %d not supported.",
                                           static_cast<int>(color));
    }
}

sf::Color colorToSFML(Color color) {
    if (inTable(color)) {
        const ColorEntry& entry = COLOR_TABLE[color];
        return sf::Color(entry.red, entry.green, entry.blue, 255);
    }
    if (color == CUSTOM) {
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color is CUSTOM.");
    } else {
        LogManager::getInstance().writeLog(5, "colorToSFML(): Color %d not supported.",
                                           static_cast<int>(color));
    }
    return sf::Color(255, 255, 255, 255);
}

std::string colorToString(Color color) {
    if (inTable(color)) {
        return COLOR_TABLE[color].name;
    }
    return "Unknown color";
}

}  // namespace ox
