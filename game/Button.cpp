#include "Button.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <array>
#include <cctype>

#include "DisplayManager.h"
#include "Lanes.h"

namespace {

/// Radius of a pad in pixels.
constexpr float PAD_RADIUS = 50.0f;
/// Points of each pad's circle.
constexpr std::size_t PAD_POINTS = 30;
/// Ring width in pixels.
constexpr float PAD_OUTLINE = 3.0f;
/// Top of the pads' bounding boxes, in window pixels.
constexpr float PAD_TOP = 600.0f;
/// Row of the pad letters.
constexpr float PAD_LETTER_ROW = 19.8f;

/// The four pad circles, made once and drawn every frame.
const std::array<sf::CircleShape, lanes::COUNT>& padCircles() {
    static const std::array<sf::CircleShape, lanes::COUNT> circles = [] {
        std::array<sf::CircleShape, lanes::COUNT> made;
        for (std::size_t i = 0; i < made.size(); i++) {
            made[i] = sf::CircleShape(PAD_RADIUS, PAD_POINTS);
            made[i].setFillColor(sf::Color(0, 0, 0, 255));
            made[i].setOutlineColor(sf::Color(255, 0, 0, 255));
            made[i].setOutlineThickness(PAD_OUTLINE);
            made[i].setPosition(sf::Vector2f(lanes::LANES[i].pad_left, PAD_TOP));
        }
        return made;
    }();
    return circles;
}

}  // namespace

Button::Button() {
    setType("button");
    setAltitude(4);
    setLocation(ox::CENTER_CENTER);
}

int Button::draw() {
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    if (sf::RenderWindow* p_window = display.getWindow()) {
        for (const sf::CircleShape& circle : padCircles()) {
            p_window->draw(circle);
        }
    }
    const int middle = display.getHorizontal() / 2;
    for (const lanes::Lane& lane : lanes::LANES) {
        const auto column = static_cast<float>(middle + lane.pad_letter_column);
        const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(lane.key)));
        display.drawCh(ox::Vector(column, PAD_LETTER_ROW), letter, ox::RED, 0.0f);
    }
    return 0;
}
