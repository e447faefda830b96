#include "Button.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <array>

#include "DisplayManager.h"

namespace {

/// Radius of a pad in pixels.
constexpr float PAD_RADIUS = 50.0f;
/// Points of each pad's circle.
constexpr std::size_t PAD_POINTS = 30;
/// Ring width in pixels.
constexpr float PAD_OUTLINE = 3.0f;
/// Top-left corners of the pads' bounding boxes, in window pixels.
constexpr std::array<sf::Vector2f, 4> PAD_CORNERS = {
    sf::Vector2f(250, 600), sf::Vector2f(400, 600), sf::Vector2f(550, 600), sf::Vector2f(700, 600)};

/// A pad's letter and its column offset from the middle of the display.
struct PadLetter {
    char letter;
    double column_offset;
};
constexpr std::array<PadLetter, 4> PAD_LETTERS = {PadLetter{'Z', -17.0}, PadLetter{'X', -5.1},
                                                  PadLetter{'C', 6.5}, PadLetter{'V', 17.8}};
/// Row of the pad letters.
constexpr float PAD_LETTER_ROW = 19.8f;

/// The four pad circles, made once and drawn every frame.
const std::array<sf::CircleShape, 4>& padCircles() {
    static const std::array<sf::CircleShape, 4> circles = [] {
        std::array<sf::CircleShape, 4> made;
        for (std::size_t i = 0; i < made.size(); i++) {
            made[i] = sf::CircleShape(PAD_RADIUS, PAD_POINTS);
            made[i].setFillColor(sf::Color(0, 0, 0, 255));
            made[i].setOutlineColor(sf::Color(255, 0, 0, 255));
            made[i].setOutlineThickness(PAD_OUTLINE);
            made[i].setPosition(PAD_CORNERS[i]);
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
    for (const PadLetter& pad : PAD_LETTERS) {
        const float column = static_cast<float>(middle + pad.column_offset);
        display.drawCh(ox::Vector(column, PAD_LETTER_ROW), pad.letter, ox::RED, 0.0f);
    }
    return 0;
}
