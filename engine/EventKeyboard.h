#pragma once

#include "Event.h"

namespace ox {

/// Label of the keyboard event.
inline const std::string KEYBOARD_EVENT = "ox-keyboard";

namespace Keyboard {

/// The engine's key codes (no key has the value 73).
enum Key : int {
    UNDEFINED_KEY = -1,
    SPACE = 0,
    RETURN = 1,
    ESCAPE = 2,
    TAB = 3,
    LEFTARROW = 4,
    RIGHTARROW = 5,
    UPARROW = 6,
    DOWNARROW = 7,
    PAUSE = 8,
    MINUS = 9,
    PLUS = 10,
    TILDE = 11,
    PERIOD = 12,
    COMMA = 13,
    SLASH = 14,
    EQUAL = 15,
    BACKSLASH = 16,
    MULTIPLY = 17,
    QUOTE = 18,
    SEMICOLON = 19,
    LEFTCONTROL = 20,
    RIGHTCONTROL = 21,
    LEFTSHIFT = 22,
    RIGHTSHIFT = 23,
    F1 = 24,
    F2 = 25,
    F3 = 26,
    F4 = 27,
    F5 = 28,
    F6 = 29,
    F7 = 30,
    F8 = 31,
    F9 = 32,
    F10 = 33,
    F11 = 34,
    F12 = 35,
    A = 36,
    B = 37,
    C = 38,
    D = 39,
    E = 40,
    F = 41,
    G = 42,
    H = 43,
    I = 44,
    J = 45,
    K = 46,
    L = 47,
    M = 48,
    N = 49,
    O = 50,
    P = 51,
    Q = 52,
    R = 53,
    S = 54,
    T = 55,
    U = 56,
    V = 57,
    W = 58,
    X = 59,
    Y = 60,
    Z = 61,
    NUM1 = 62,
    NUM2 = 63,
    NUM3 = 64,
    NUM4 = 65,
    NUM5 = 66,
    NUM6 = 67,
    NUM7 = 68,
    NUM8 = 69,
    NUM9 = 70,
    NUM0 = 71,
    BACKSPACE = 72,
    LEFTBRACKET = 74,
    RIGHTBRACKET = 75,
};

}  // namespace Keyboard

/// What happened to a key.
enum EventKeyboardAction : int {
    UNDEFINED_KEYBOARD_ACTION = -1,  ///< not set
    KEY_PRESSED = 0,                 ///< the key went down
    KEY_RELEASED = 1,                ///< the key went up
    KEY_DOWN = 2,                    ///< the key is held; sent every step while held
};

/// Keyboard input, sent by the input manager to objects registered for it.
class EventKeyboard : public Event {
public:
    /// An event with an undefined key and action.
    EventKeyboard();

    /// Sets the key (a Keyboard::Key value).
    virtual void setKey(int new_key);
    /// The key (a Keyboard::Key value).
    virtual int getKey() const;
    /// Sets the action (an EventKeyboardAction value).
    virtual void setKeyboardAction(int new_action);
    /// The action (an EventKeyboardAction value).
    virtual int getKeyboardAction() const;

private:
    int m_key = Keyboard::UNDEFINED_KEY;                ///< Keyboard::Key value.
    int m_keyboard_action = UNDEFINED_KEYBOARD_ACTION;  ///< EventKeyboardAction value.
};

}  // namespace ox
