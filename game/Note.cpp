#include "Note.h"

#include <string>

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventOut.h"
#include "EventView.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "WorldManager.h"

namespace {

/// One lane: its note character, key, drum sound and column offset from the
/// middle of the display.
struct Lane {
    char key;
    ox::Keyboard::Key keyboard_key;
    const char* sound_label;
    int column_offset;
};

constexpr Lane LANES[] = {
    {'z', ox::Keyboard::Z, "bass", -17},
    {'x', ox::Keyboard::X, "tom", -5},
    {'c', ox::Keyboard::C, "snare", 6},
    {'v', ox::Keyboard::V, "cymbal", 18},
};

/// The lane of a note character, or null.
const Lane* laneOf(char key) {
    for (const Lane& lane : LANES) {
        if (lane.key == key) {
            return &lane;
        }
    }
    return nullptr;
}

/// The tag of the score board's view events.
const std::string SCORE_TAG = "Score";

/// True for the out strip.
bool isOut(const ox::Object* p_o) {
    return p_o != nullptr && p_o->getType() == "out";
}

}  // namespace

Note::Note(char key) : m_key(key), m_hit(false), m_p_sound(nullptr) {
    registerInterest(ox::KEYBOARD_EVENT);
    registerInterest(ox::COLLISION_EVENT);
    setSprite("note");
    setType("note");
    setVelocity(ox::Vector(0.0f, ROWS_PER_STEP));
    setAltitude(3);
    const Lane* p_lane = laneOf(key);
    if (p_lane != nullptr) {
        m_p_sound = ox::ResourceManager::getInstance().getSound(p_lane->sound_label);
    } else {
        ox::LogManager::getInstance().writeLog("Note::Note(): Error! '%c' names no lane.", key);
    }
    const int column = laneColumn(key, ox::DisplayManager::getInstance().getHorizontal());
    setPosition(ox::Vector(static_cast<float>(column), START_ROW));
}

int Note::laneColumn(char key, int h) {
    const Lane* p_lane = laneOf(key);
    return h / 2 + (p_lane != nullptr ? p_lane->column_offset : 0);
}

int Note::eventHandler(const ox::Event* p_e) {
    const std::string type = p_e->getType();
    if (type == ox::KEYBOARD_EVENT) {
        keyboard(static_cast<const ox::EventKeyboard*>(p_e));
        return 1;
    }
    if (type == ox::OUT_EVENT) {
        ox::WorldManager::getInstance().markForDelete(this);
    } else if (type == ox::COLLISION_EVENT) {
        const auto* p_collision = static_cast<const ox::EventCollision*>(p_e);
        if (isOut(p_collision->getObject1()) || isOut(p_collision->getObject2())) {
            ox::WorldManager::getInstance().markForDelete(this);
        }
    }
    return 0;
}

void Note::keyboard(const ox::EventKeyboard* p_keyboard_event) {
    const Lane* p_lane = laneOf(m_key);
    const bool lane_key = p_lane != nullptr && p_keyboard_event->getKey() == p_lane->keyboard_key;
    const float y = getPosition().getY();
    const int c = ox::DisplayManager::getInstance().getVertical() / 2;
    // The perfect window lies inside the good one; a note in it is never
    // scored as good.
    if (c + 5 < y && y < c + 6 && !m_hit) {
        if (lane_key) {
            score(PERFECT_POINTS);
        }
    } else if (c + 4 < y && y < c + 7 && !m_hit) {
        if (lane_key) {
            score(GOOD_POINTS);
        }
    }
}

void Note::score(int points) {
    ox::LogManager::getInstance().writeLog(5, "Note::score(): '%c' hit at row %.2f: %d points.",
                                           m_key, getPosition().getY(), points);
    ox::EventView score_event(SCORE_TAG, points, true);
    ox::WorldManager::getInstance().onEvent(&score_event);
    m_hit = true;
    if (m_p_sound != nullptr) {
        m_p_sound->play(false);
    }
    ox::WorldManager::getInstance().markForDelete(this);
}
