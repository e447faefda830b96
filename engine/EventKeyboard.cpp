#include "EventKeyboard.h"

namespace ox {

EventKeyboard::EventKeyboard() {
    setType(KEYBOARD_EVENT);
}

void EventKeyboard::setKey(int new_key) {
    m_key = new_key;
}

int EventKeyboard::getKey() const {
    return m_key;
}

void EventKeyboard::setKeyboardAction(int new_action) {
    m_keyboard_action = new_action;
}

int EventKeyboard::getKeyboardAction() const {
    return m_keyboard_action;
}

}  // namespace ox
