#include "ViewObject.h"

#include <climits>
#include <utility>

#include "DisplayManager.h"
#include "EventView.h"
#include "LogManager.h"
#include "WorldManager.h"
#include "utility.h"

namespace ox {

namespace {

/// The view position of a location's text centre in the current view. The
/// locations run row by row, three to a row: left, centre, right.
Vector locationPosition(int location, bool border) {
    const Box view = WorldManager::getInstance().getView();
    const float h = view.getHorizontal();
    const float v = view.getVertical();
    float x = h / 6;
    if (location == CENTER_CENTER) {
        x = h * 0.5f;
    } else if (location % 3 == 1) {
        x = 3 * h / 6;
    } else if (location % 3 == 2) {
        x = 5 * h / 6;
    }
    // The border takes a row above the text and one below.
    float y = border ? v - 2 : v - 1;
    if (location / 3 == 0) {
        y = border ? 1.0f : 0.0f;
    } else if (location / 3 == 1) {
        y = border ? v * 0.5f : v * 0.5f - 1;
    }
    return Vector(x, y);
}

/// value + delta, held at the ends of the integer range instead of overflowing.
int addClamped(int value, int delta) {
    const long long sum = static_cast<long long>(value) + delta;
    if (sum > INT_MAX) {
        return INT_MAX;
    }
    if (sum < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(sum);
}

}  // namespace

std::string locationToString(int location) {
    switch (location) {
        case TOP_LEFT:
            return "top-left";
        case TOP_CENTER:
            return "top-center";
        case TOP_RIGHT:
            return "top-right";
        case CENTER_LEFT:
            return "center-left";
        case CENTER_CENTER:
            return "center-center";
        case CENTER_RIGHT:
            return "center-right";
        case BOTTOM_LEFT:
            return "bot-left";
        case BOTTOM_CENTER:
            return "bot-center";
        case BOTTOM_RIGHT:
            return "bot-right";
        default:
            return "unknown";
    }
}

ViewObject::ViewObject()
    : m_value(0),
      m_draw_value(true),
      m_border(true),
      m_color(WHITE),
      m_location(UNDEFINED_LOCATION) {
    setSolidness(SPECTRAL);
    setAltitude(MAX_ALTITUDE);
    setType("ViewObject");
    setLocation(TOP_CENTER);
    registerInterest(VIEW_EVENT);
    markModified(VALUE | APPEARANCE);
}

ViewObject::~ViewObject() = default;

int ViewObject::setPosition(Vector new_pos) {
    if (new_pos == getPosition()) {
        return 0;
    }
    m_location = UNDEFINED_LOCATION;
    const int result = Object::setPosition(new_pos);
    markModified(APPEARANCE);
    return result;
}

void ViewObject::setLocation(int new_location) {
    if (new_location < TOP_LEFT || new_location > BOTTOM_RIGHT) {
        LogManager::getInstance().writeLog(
            "ViewObject::setLocation(): Warning! Location out of range (%d). Ignored.",
            new_location);
        return;
    }
    setPosition(locationPosition(new_location, m_border));
    m_location = static_cast<ViewObjectLocation>(new_location);
    markModified(APPEARANCE);
}

void ViewObject::setBorder(bool new_border) {
    if (new_border == m_border) {
        return;
    }
    m_border = new_border;
    markModified(APPEARANCE);
    if (m_location != UNDEFINED_LOCATION) {
        setLocation(m_location);
    }
}

void ViewObject::setValue(int new_value) {
    if (new_value == m_value) {
        return;
    }
    m_value = new_value;
    markModified(VALUE);
}

void ViewObject::setViewString(std::string new_view_string) {
    if (new_view_string == m_view_string) {
        return;
    }
    m_view_string = std::move(new_view_string);
    markModified(APPEARANCE);
}

void ViewObject::setColor(Color new_color) {
    if (new_color == m_color) {
        return;
    }
    m_color = new_color;
    markModified(APPEARANCE);
}

void ViewObject::setDrawValue(bool new_draw_value) {
    if (new_draw_value == m_draw_value) {
        return;
    }
    m_draw_value = new_draw_value;
    markModified(APPEARANCE);
}

int ViewObject::eventHandler(const Event* p_e) {
    if (p_e == nullptr || p_e->getType() != VIEW_EVENT) {
        return Object::eventHandler(p_e);
    }
    const EventView* p_view_event = dynamic_cast<const EventView*>(p_e);
    if (p_view_event == nullptr) {
        LogManager::getInstance().writeLog(
            "ViewObject::eventHandler(): Error! Dynamic cast to EventView failed.");
        return 0;
    }
    if (p_view_event->getTag() != m_view_string) {
        return 0;
    }
    if (p_view_event->getDelta()) {
        setValue(addClamped(m_value, p_view_event->getValue()));
    } else {
        setValue(p_view_event->getValue());
    }
    return 1;
}

std::string ViewObject::text() const {
    std::string shown = m_view_string;
    if (m_draw_value) {
        shown += " " + std::to_string(m_value);
    }
    return m_border ? " " + shown + " " : shown;
}

int ViewObject::draw() {
    DisplayManager& display = DisplayManager::getInstance();
    const std::string shown = text();
    const Vector p = viewToWorld(getPosition());
    int result = display.drawString(p, shown, CENTER_JUSTIFIED, m_color);
    if (!m_border) {
        return result;
    }
    // Dashes above and below the text, a bar just outside each end; the
    // corners stay empty.
    const int n = static_cast<int>(shown.size());
    const std::string line(static_cast<std::size_t>(n), '-');
    const float x = p.getX();
    const float y = p.getY();
    result += display.drawString(Vector(x, y - 1), line, CENTER_JUSTIFIED, m_color);
    result += display.drawString(Vector(x, y + 1), line, CENTER_JUSTIFIED, m_color);
    result += display.drawCh(Vector(x - static_cast<float>(n / 2) - 1, y), '|', m_color, 0);
    result += display.drawCh(Vector(x - static_cast<float>(n / 2) + static_cast<float>(n), y), '|',
                             m_color, 0);
    return result;
}

}  // namespace ox
