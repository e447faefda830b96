#include "PlatformInput.h"

#include <utility>

#include <SFML/Window/WindowBase.hpp>

#include "Platform.h"

// The window system's own headers come last: they define short macro names.
#if !defined(_WIN32) && !defined(__APPLE__)
#define OX_X11_INPUT 1
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace ox::platform {

namespace {

// What the last readMouse found: the pointer, and one bit per button.
sf::Vector2i g_pointer;
unsigned int g_buttons = 0;

constexpr sf::Mouse::Button POLLED_BUTTONS[] = {sf::Mouse::Button::Left, sf::Mouse::Button::Right,
                                                sf::Mouse::Button::Middle};

unsigned int buttonBit(sf::Mouse::Button button) {
    return 1u << static_cast<unsigned int>(button);
}

// The mouse read through the window library, one query per answer.
void readMouseEach(const sf::WindowBase& window) {
    g_pointer = sf::Mouse::getPosition(window);
    g_buttons = 0;
    for (sf::Mouse::Button button : POLLED_BUTTONS) {
        g_buttons |= sf::Mouse::isButtonPressed(button) ? buttonBit(button) : 0;
    }
}

}  // namespace

sf::Vector2i mousePosition() {
    return g_pointer;
}

bool isMouseButtonDown(sf::Mouse::Button button) {
    return (g_buttons & buttonBit(button)) != 0;
}

#if defined(OX_X11_INPUT)

namespace {

using SfKey = sf::Keyboard::Key;

// The X key symbol of each key; the key's code on this server is the code
// its symbol sits on in the keyboard's layout.
const std::pair<SfKey, KeySym> KEY_SYMBOLS[] = {
    {SfKey::Space, XK_space},
    {SfKey::Enter, XK_Return},
    {SfKey::Escape, XK_Escape},
    {SfKey::Tab, XK_Tab},
    {SfKey::Left, XK_Left},
    {SfKey::Right, XK_Right},
    {SfKey::Up, XK_Up},
    {SfKey::Down, XK_Down},
    {SfKey::Pause, XK_Pause},
    {SfKey::Subtract, XK_KP_Subtract},
    {SfKey::Add, XK_KP_Add},
    {SfKey::Grave, XK_grave},
    {SfKey::Period, XK_period},
    {SfKey::Comma, XK_comma},
    {SfKey::Slash, XK_slash},
    {SfKey::Equal, XK_equal},
    {SfKey::Backslash, XK_backslash},
    {SfKey::Multiply, XK_KP_Multiply},
    {SfKey::Apostrophe, XK_apostrophe},
    {SfKey::Semicolon, XK_semicolon},
    {SfKey::LControl, XK_Control_L},
    {SfKey::RControl, XK_Control_R},
    {SfKey::LShift, XK_Shift_L},
    {SfKey::RShift, XK_Shift_R},
    {SfKey::Backspace, XK_BackSpace},
    {SfKey::LBracket, XK_bracketleft},
    {SfKey::RBracket, XK_bracketright},
};

// Runs of keys whose symbols follow the keys' own order.
struct KeyRun {
    SfKey first;
    KeySym first_symbol;
    int count;
};
const KeyRun KEY_RUNS[] = {{SfKey::A, XK_a, 26}, {SfKey::Num0, XK_0, 10}, {SfKey::F1, XK_F1, 15}};

// The X buttons' bits in a pointer query.
const std::pair<sf::Mouse::Button, unsigned int> BUTTON_MASKS[] = {
    {sf::Mouse::Button::Left, Button1Mask},
    {sf::Mouse::Button::Middle, Button2Mask},
    {sf::Mouse::Button::Right, Button3Mask}};

constexpr int KEY_COUNT = sf::Keyboard::KeyCount;

// A connection of its own to the display server for reading the devices,
// opened on first use; null when none can be opened, and the devices are
// then read through the window library.
::Display* g_p_input_display = nullptr;
bool g_input_tried = false;
KeyCode g_key_codes[KEY_COUNT] = {};  // by key; 0 where the key has no code
char g_key_map[32] = {};              // one bit per key code, from the last reading

void mapKey(SfKey key, KeySym symbol) {
    const int index = static_cast<int>(key);
    if (index >= 0 && index < KEY_COUNT) {
        g_key_codes[index] = XKeysymToKeycode(g_p_input_display, symbol);
    }
}

::Display* inputDisplay() {
    if (g_input_tried) {
        return g_p_input_display;
    }
    g_input_tried = true;
    g_p_input_display = hasDisplay() ? XOpenDisplay(nullptr) : nullptr;
    if (g_p_input_display != nullptr) {
        for (const auto& [key, symbol] : KEY_SYMBOLS) {
            mapKey(key, symbol);
        }
        for (const KeyRun& run : KEY_RUNS) {
            for (int i = 0; i < run.count; i++) {
                mapKey(static_cast<SfKey>(static_cast<int>(run.first) + i),
                       run.first_symbol + static_cast<KeySym>(i));
            }
        }
    }
    return g_p_input_display;
}

}  // namespace

void readKeyboard() {
    if (::Display* p_display = inputDisplay()) {
        XQueryKeymap(p_display, g_key_map);
    }
}

bool isKeyDown(sf::Keyboard::Key key) {
    const int index = static_cast<int>(key);
    if (g_p_input_display == nullptr || index < 0 || index >= KEY_COUNT ||
        g_key_codes[index] == 0) {
        return sf::Keyboard::isKeyPressed(key);
    }
    const unsigned int code = g_key_codes[index];
    return (g_key_map[code / 8] & (1 << (code % 8))) != 0;
}

void readMouse(const sf::WindowBase& window) {
    ::Display* p_display = inputDisplay();
    ::Window root = 0;
    ::Window child = 0;
    int root_x = 0;
    int root_y = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    if (p_display == nullptr || !XQueryPointer(p_display, window.getNativeHandle(), &root, &child,
                                               &root_x, &root_y, &x, &y, &mask)) {
        readMouseEach(window);
        return;
    }
    g_pointer = sf::Vector2i(x, y);
    g_buttons = 0;
    for (const auto& [button, button_mask] : BUTTON_MASKS) {
        g_buttons |= (mask & button_mask) != 0 ? buttonBit(button) : 0;
    }
}

#else

// Without a display server in between, each device query is cheap.
void readKeyboard() {}

bool isKeyDown(sf::Keyboard::Key key) {
    return sf::Keyboard::isKeyPressed(key);
}

void readMouse(const sf::WindowBase& window) {
    readMouseEach(window);
}

#endif

}  // namespace ox::platform
