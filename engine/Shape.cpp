#include "Shape.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string>

#include "Config.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "serialization.h"
#include "utility.h"

namespace ox {

namespace {

/// The one polygon every shape is drawn with, made on first use.
sf::CircleShape& sharedPolygon() {
    static sf::CircleShape polygon(0.0f, 30);
    return polygon;
}

/// The smaller cell side in whole pixels, times the font scale. Before the
/// display has a cell size (no cells configured) the size is 0.
float defaultSize() {
    const float smaller = std::fmin(charWidth(), charHeight());
    if (!std::isfinite(smaller)) {
        return 0.0f;
    }
    return std::trunc(smaller) * Config::getInstance().getFontScale();
}

/// Points of a circle of size s: s whole, but 3 to 10 (3 for a size that is
/// no number).
std::size_t circlePoints(float size) {
    if (!(size >= 3.0f)) {
        return 3;
    }
    if (size > 10.0f) {
        return 10;
    }
    return static_cast<std::size_t>(size);
}

}  // namespace

Shape::Shape()
    : m_color(WHITE),
      m_red(255),
      m_green(255),
      m_blue(255),
      m_type(CIRCLE),
      m_size(defaultSize()),
      m_alpha(255) {}

void Shape::setType(int new_type) {
    if (new_type < UNDEFINED_SHAPE || new_type > TRIANGLE) {
        LogManager::getInstance().writeLog("Shape::setType(): Unknown shape type %d. Ignoring.",
                                           new_type);
        return;
    }
    m_type = static_cast<ShapeType>(new_type);
}

int Shape::draw(Vector world_pos) {
    DisplayManager& display = DisplayManager::getInstance();
    LogManager& log = LogManager::getInstance();
    sf::RenderWindow* p_window = display.getWindow();
    if (p_window == nullptr) {
        log.writeLog(5, "Shape::draw(): DisplayManager window not defined.");
        return -1;
    }
    const Vector pixel = display.spacesToPixels(worldToView(world_pos));
    sf::CircleShape& polygon = sharedPolygon();
    if (m_color != CUSTOM) {
        colorToRGB(m_color, m_red, m_green, m_blue);
    }
    polygon.setFillColor(sf::Color(m_red, m_green, m_blue, m_alpha));
    const float s = m_size;
    const float x = pixel.getX();
    const float y = pixel.getY();
    switch (m_type) {
        case CIRCLE:
            polygon.setPointCount(circlePoints(s));
            polygon.setRadius(s);
            polygon.setRotation(sf::degrees(0.0f));
            polygon.setPosition(sf::Vector2f(x - s * 0.5f, y - s * 0.5f));
            break;
        case SQUARE:
            // A four-point circle turned by 45 degrees.
            polygon.setPointCount(4);
            polygon.setRotation(sf::degrees(45.0f));
            polygon.setRadius(s / Config::getInstance().getFontScale());
            polygon.setPosition(sf::Vector2f(x + s * 0.5f, y - s / 1.75f));
            break;
        case TRIANGLE:
            polygon.setPointCount(3);
            polygon.setRadius(s * 0.5f);
            polygon.setRotation(sf::degrees(0.0f));
            polygon.setPosition(sf::Vector2f(x - s * 0.5f, y - s * 0.5f));
            break;
        default:
            return 0;
    }
    log.writeLog(25, "Shape::draw(): Drawing at (%.2f, %.2f)", x, y);
    p_window->draw(polygon);
    return 0;
}

std::string Shape::typeToString(int type) {
    switch (type) {
        case UNDEFINED_SHAPE:
            return "undefined";
        case CIRCLE:
            return "circle";
        case SQUARE:
            return "square";
        case TRIANGLE:
            return "triangle";
        default:
            return "unknown";
    }
}

std::string Shape::toString() const {
    char size[64];
    std::snprintf(size, sizeof(size), "%f", static_cast<double>(m_size));
    return typeToString(m_type) + ", size " + size + ", " + colorToString(m_color) + ", " +
           std::to_string(static_cast<int>(m_alpha));
}

int Shape::serialize(std::ostream* p_os) const {
    const char* name = "Shape::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    writeInt32(*p_os, m_type);
    writeFloat(*p_os, m_size);
    writeInt32(*p_os, m_color);
    writeByte(*p_os, m_alpha);
    return checkStream(name, *p_os);
}

int Shape::deserialize(std::istream* p_is) {
    const char* name = "Shape::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    std::int32_t type = 0;
    float size = 0.0f;
    std::int32_t color = 0;
    std::uint8_t alpha = 0;
    if (readInt32(*p_is, type) && readFloat(*p_is, size) && readInt32(*p_is, color) &&
        readByte(*p_is, alpha)) {
        setType(type);
        m_size = size;
        m_color = static_cast<Color>(color);
        m_alpha = alpha;
    }
    return checkStream(name, *p_is);
}

}  // namespace ox
