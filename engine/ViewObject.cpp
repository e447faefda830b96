#include "ViewObject.h"

#include <climits>
#include <cstdint>
#include <istream>
#include <ostream>
#include <utility>

#include "DisplayManager.h"
#include "EventView.h"
#include "LogManager.h"
#include "WorldManager.h"
#include "serialization.h"
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

/// True when a group is to be written: attr names it, or attr is 0 and the
/// group is marked modified.
bool groupWanted(unsigned int group, unsigned int attr, unsigned int modified) {
    return (attr & group) != 0 || (attr == 0 && (modified & group) != 0);
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
    // Built by appending: a literal joined to a temporary makes GCC 12 warn
    // of overlapping copies (-Wrestrict) where there are none.
    const std::string pad = m_border ? " " : "";
    std::string shown = pad;
    shown += m_view_string;
    if (m_draw_value) {
        shown += ' ';
        shown += std::to_string(m_value);
    }
    shown += pad;
    return shown;
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

int ViewObject::serialize(std::ostream* p_os, unsigned int attr) {
    const char* name = "ViewObject::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    LogManager& log = LogManager::getInstance();
    log.writeLog(20, "ViewObject::serialize(): serializing attributes");
    log.writeLog(20, "ViewObject::serialize(): attr is %u, modified is %u (%s)", attr,
                 getModified(), boolText(isModified()));
    Object::serialize(p_os, attr);
    // The object's part leaves the two group bits alone.
    unsigned int modified = getModified();
    if (groupWanted(VALUE, attr, modified)) {
        log.writeLog(25, "\tVALUE");
        writeInt32(*p_os, m_value);
        modified &= ~VALUE;
    }
    if (groupWanted(APPEARANCE, attr, modified)) {
        log.writeLog(25, "\tAPPEARANCE");
        writeAppearance(*p_os);
        modified &= ~APPEARANCE;
    }
    setModified(modified);
    return checkStream(name, *p_os);
}

void ViewObject::writeAppearance(std::ostream& os) const {
    LogManager& log = LogManager::getInstance();
    writeString(os, m_view_string);
    log.writeLog(25, "\tVIEW_STRING: %s", m_view_string.c_str());
    writeBool(os, m_border);
    log.writeLog(25, "\tBORDER: %s", boolText(m_border));
    writeInt32(os, m_color);
    log.writeLog(25, "\tCOLOR: %s", colorToString(m_color).c_str());
    writeInt32(os, m_location);
    log.writeLog(25, "\tLOCATION: %s", locationToString(m_location).c_str());
    writeBool(os, m_draw_value);
    log.writeLog(25, "\tDRAW_VALUE: %s", boolText(m_draw_value));
}

int ViewObject::deserialize(std::istream* p_is, unsigned int* p_attr) {
    const char* name = "ViewObject::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    LogManager& log = LogManager::getInstance();
    unsigned int mask = 0;
    const int result = Object::deserialize(p_is, &mask);
    if (p_attr != nullptr) {
        *p_attr = mask;
    }
    if (result != 0) {
        log.writeLog("ViewObject::deserialize(): Error calling Object::deserialize().");
        return result;
    }
    log.writeLog(20, "ViewObject::deserialize(): attr %u (%s)", mask, toBitString(mask).c_str());
    std::int32_t value = 0;
    if ((mask & VALUE) != 0 && readInt32(*p_is, value)) {
        setValue(value);
        log.writeLog(25, "\tVALUE: %d", m_value);
    }
    if ((mask & APPEARANCE) != 0 && p_is->good() && readAppearance(*p_is) == -1) {
        return -1;
    }
    // As for the object's part: the setters marked what they changed, but
    // what was read is not a change of this side's.
    setModified(0);
    log.writeLog(20, "ViewObject::deserialize(): done checking all types.");
    return checkStream(name, *p_is);
}

int ViewObject::readAppearance(std::istream& is) {
    LogManager& log = LogManager::getInstance();
    std::uint64_t length = 0;
    if (!readUint64(is, length)) {
        return 0;
    }
    if (length > MAX_VIEW_STRING_BYTES) {
        return refuseLength(is, "ViewObject::deserialize()", length);
    }
    // Each field is applied only when it arrived whole; a record cut short
    // applies nothing past the cut.
    std::string view_string;
    bool flag = false;
    std::int32_t number = 0;
    if (!readBytes(is, length, view_string)) {
        return 0;
    }
    setViewString(std::move(view_string));
    log.writeLog(25, "\tVIEW_STRING: %s", m_view_string.c_str());
    if (!readBool(is, flag)) {
        return 0;
    }
    setBorder(flag);
    log.writeLog(25, "\tBORDER: %s", boolText(m_border));
    if (!readInt32(is, number)) {
        return 0;
    }
    setColor(static_cast<Color>(number));
    log.writeLog(25, "\tCOLOR: %s", colorToString(m_color).c_str());
    if (!readInt32(is, number)) {
        return 0;
    }
    setLocation(number);
    log.writeLog(25, "\tLOCATION: %s", locationToString(m_location).c_str());
    if (readBool(is, flag)) {
        setDrawValue(flag);
        log.writeLog(25, "\tDRAW_VALUE: %s", boolText(m_draw_value));
    }
    return 0;
}

}  // namespace ox
