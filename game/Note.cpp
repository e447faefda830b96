#include "Note.h"

#include <string>

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventOut.h"
#include "EventView.h"
#include "Lanes.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "WorldManager.h"

namespace {

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
    const lanes::Lane* p_lane = lanes::laneOf(key);
    if (p_lane != nullptr) {
        m_p_sound = ox::ResourceManager::getInstance().getSound(p_lane->sound_label);
    } else {
        ox::LogManager::getInstance().writeLog("Note::Note(): Error! '%c' names no lane.", key);
    }
    const int column = laneColumn(key, ox::DisplayManager::getInstance().getHorizontal());
    setPosition(ox::Vector(static_cast<float>(column), START_ROW));
}

int Note::laneColumn(char key, int h) {
    const lanes::Lane* p_lane = lanes::laneOf(key);
    return h / 2 + (p_lane != nullptr ? p_lane->note_column : 0);
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
    const lanes::Lane* p_lane = lanes::laneOf(m_key);
    const bool lane_key = p_lane != nullptr && p_keyboard_event->getKey() == p_lane->keyboard_key;
    const float y = getPosition().getY();
    const auto c = static_cast<float>(ox::DisplayManager::getInstance().getVertical() / 2);
    // The perfect window lies inside the good one; a note in it is never
    // scored as good.
    if (c + lanes::PERFECT_FROM < y && y < c + lanes::PERFECT_TO && !m_hit) {
        if (lane_key) {
            score(PERFECT_POINTS);
        }
    } else if (c + lanes::GOOD_FROM < y && y < c + lanes::GOOD_TO && !m_hit) {
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
