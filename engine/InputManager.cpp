#include "InputManager.h"

#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/WindowBase.hpp>

#include <array>
#include <optional>

#include "Config.h"
#include "DisplayManager.h"
#include "EventMouse.h"
#include "GameManager.h"
#include "LogManager.h"
#include "PlatformInput.h"

namespace ox {

namespace {

using SfKey = sf::Keyboard::Key;

/// One key the engine knows: the window library's key that produces it, the
/// engine key, its printable name ("" when it has none) and whether the
/// per-frame key-down poll covers it.
struct KeyBinding {
    sf::Keyboard::Key sfml_key;  ///< The window library's key.
    Keyboard::Key key;           ///< The engine's key.
    const char* name;            ///< Printable name, or "".
    bool polled;                 ///< True when held keys of this kind send KEY_DOWN.
};

// Every key the engine knows. The first 73 rows are the polled keys in the
// order the per-frame poll checks them; F11 and F12 give press and release
// events only.
constexpr std::array<KeyBinding, 75> KEY_TABLE = {{
    {SfKey::Up, Keyboard::UPARROW, "", true},
    {SfKey::Down, Keyboard::DOWNARROW, "", true},
    {SfKey::Left, Keyboard::LEFTARROW, "", true},
    {SfKey::Right, Keyboard::RIGHTARROW, "", true},
    {SfKey::Space, Keyboard::SPACE, " ", true},
    {SfKey::Enter, Keyboard::RETURN, "", true},
    {SfKey::Tab, Keyboard::TAB, "", true},
    {SfKey::Escape, Keyboard::ESCAPE, "", true},
    {SfKey::Pause, Keyboard::PAUSE, "", true},
    {SfKey::Subtract, Keyboard::MINUS, "-", true},
    {SfKey::Add, Keyboard::PLUS, "+", true},
    {SfKey::Grave, Keyboard::TILDE, "~", true},
    {SfKey::Period, Keyboard::PERIOD, ".", true},
    {SfKey::Comma, Keyboard::COMMA, ",", true},
    {SfKey::Slash, Keyboard::SLASH, "/", true},
    {SfKey::Equal, Keyboard::EQUAL, "=", true},
    {SfKey::Backslash, Keyboard::BACKSLASH, "\\", true},
    {SfKey::Multiply, Keyboard::MULTIPLY, "*", true},
    {SfKey::Apostrophe, Keyboard::QUOTE, "'", true},
    {SfKey::LBracket, Keyboard::LEFTBRACKET, "[", true},
    {SfKey::RBracket, Keyboard::RIGHTBRACKET, "]", true},
    {SfKey::Semicolon, Keyboard::SEMICOLON, ";", true},
    {SfKey::LControl, Keyboard::LEFTCONTROL, "", true},
    {SfKey::RControl, Keyboard::RIGHTCONTROL, "", true},
    {SfKey::LShift, Keyboard::LEFTSHIFT, "", true},
    {SfKey::RShift, Keyboard::RIGHTSHIFT, "", true},
    {SfKey::F1, Keyboard::F1, "", true},
    {SfKey::F2, Keyboard::F2, "", true},
    {SfKey::F3, Keyboard::F3, "", true},
    {SfKey::F4, Keyboard::F4, "", true},
    {SfKey::F5, Keyboard::F5, "", true},
    {SfKey::F6, Keyboard::F6, "", true},
    {SfKey::F7, Keyboard::F7, "", true},
    {SfKey::F8, Keyboard::F8, "", true},
    {SfKey::F9, Keyboard::F9, "", true},
    {SfKey::F10, Keyboard::F10, "", true},
    {SfKey::A, Keyboard::A, "A", true},
    {SfKey::B, Keyboard::B, "B", true},
    {SfKey::C, Keyboard::C, "C", true},
    {SfKey::D, Keyboard::D, "D", true},
    {SfKey::E, Keyboard::E, "E", true},
    {SfKey::F, Keyboard::F, "F", true},
    {SfKey::G, Keyboard::G, "G", true},
    {SfKey::H, Keyboard::H, "H", true},
    {SfKey::I, Keyboard::I, "I", true},
    {SfKey::J, Keyboard::J, "J", true},
    {SfKey::K, Keyboard::K, "K", true},
    {SfKey::L, Keyboard::L, "L", true},
    {SfKey::M, Keyboard::M, "M", true},
    {SfKey::N, Keyboard::N, "N", true},
    {SfKey::O, Keyboard::O, "O", true},
    {SfKey::P, Keyboard::P, "P", true},
    {SfKey::Q, Keyboard::Q, "Q", true},
    {SfKey::R, Keyboard::R, "R", true},
    {SfKey::S, Keyboard::S, "S", true},
    {SfKey::T, Keyboard::T, "T", true},
    {SfKey::U, Keyboard::U, "U", true},
    {SfKey::V, Keyboard::V, "V", true},
    {SfKey::W, Keyboard::W, "W", true},
    {SfKey::X, Keyboard::X, "X", true},
    {SfKey::Y, Keyboard::Y, "Y", true},
    {SfKey::Z, Keyboard::Z, "Z", true},
    {SfKey::Num1, Keyboard::NUM1, "1", true},
    {SfKey::Num2, Keyboard::NUM2, "2", true},
    {SfKey::Num3, Keyboard::NUM3, "3", true},
    {SfKey::Num4, Keyboard::NUM4, "4", true},
    {SfKey::Num5, Keyboard::NUM5, "5", true},
    {SfKey::Num6, Keyboard::NUM6, "6", true},
    {SfKey::Num7, Keyboard::NUM7, "7", true},
    {SfKey::Num8, Keyboard::NUM8, "8", true},
    {SfKey::Num9, Keyboard::NUM9, "9", true},
    {SfKey::Num0, Keyboard::NUM0, "0", true},
    {SfKey::Backspace, Keyboard::BACKSPACE, "", true},
    {SfKey::F11, Keyboard::F11, "", false},
    {SfKey::F12, Keyboard::F12, "", false},
}};

// The window library's own name of a key, as narrow text.
std::string describe(SfKey code) {
    return sf::Keyboard::getDescription(sf::Keyboard::delocalize(code)).toAnsiString();
}

Mouse::Button toButton(sf::Mouse::Button button) {
    switch (button) {
        case sf::Mouse::Button::Left:
            return Mouse::LEFT;
        case sf::Mouse::Button::Right:
            return Mouse::RIGHT;
        case sf::Mouse::Button::Middle:
            return Mouse::MIDDLE;
        default:
            return Mouse::UNDEFINED_MOUSE_BUTTON;
    }
}

// A window position in pixels, in cells.
Vector toCells(sf::Vector2i pixels) {
    return DisplayManager::getInstance().pixelsToSpaces(
        Vector(static_cast<float>(pixels.x), static_cast<float>(pixels.y)));
}

}  // namespace

InputManager::InputManager() : m_press_taken(false), m_state_taken(false) {
    setType("InputManager");
}

InputManager& InputManager::getInstance() {
    static InputManager input_manager;
    return input_manager;
}

int InputManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    if (Config::getInstance().getHeadless()) {
        log.writeLog(1, "InputManager::startUp(): no input in headless mode.");
    } else {
        const DisplayManager& display = DisplayManager::getInstance();
        if (!display.isStarted()) {
            log.writeLog("InputManager::startUp(): Error! DisplayManager must be started first.");
            return -1;
        }
        sf::WindowBase* p_window = display.getInputWindow();
        if (p_window != nullptr) {
            p_window->setKeyRepeatEnabled(false);
            log.writeLog(2, "InputManager::startUp(): Keyboard repeated disabled.");
        } else {
            log.writeLog(
                "InputManager::startUp(): Warning! DisplayManager null. Cannot disable keyboard "
                "repeat.");
        }
    }
    Manager::startUp();
    log.writeLog(5, "InputManager::startUp(): successfully started.");
    return 0;
}

void InputManager::shutDown() {
    LogManager& log = LogManager::getInstance();
    sf::WindowBase* p_window = DisplayManager::getInstance().getInputWindow();
    if (p_window != nullptr) {
        p_window->setKeyRepeatEnabled(true);
        log.writeLog(2, "InputManager::shutDown(): Keyboard repeat enabled.");
    }
    m_taken.clear();
    m_press_taken = false;
    m_state_taken = false;
    Manager::shutDown();
    log.writeLog(5, "InputManager::shutDown(): successfully stopped.");
}

bool InputManager::isValid(std::string event_name) const {
    return event_name == KEYBOARD_EVENT || event_name == MOUSE_EVENT;
}

void InputManager::takeInput() {
    if (readsWindow()) {
        takeAll(*DisplayManager::getInstance().getInputWindow());
    }
}

void InputManager::takeAll(sf::WindowBase& window) {
    takeWindowEvents(window);
    platform::readMouse(window);
    platform::readKeyboard();
    m_state_taken = true;
}

void InputManager::getInput() {
    if (Config::getInstance().getHeadless()) {
        return;
    }
    sf::WindowBase* p_window = DisplayManager::getInstance().getInputWindow();
    if (p_window == nullptr) {
        LogManager::getInstance().writeLog(
            "InputManager::getInput(): DisplayManager unexpectedly returned null window!");
        return;
    }
    if (!m_state_taken) {
        takeAll(*p_window);
    }
    m_state_taken = false;
    if (!deliverTakenEvents()) {
        return;
    }
    pollMouseButtons();
    pollKeys();
}

bool InputManager::readsWindow() const {
    return isStarted() && !Config::getInstance().getHeadless() &&
           DisplayManager::getInstance().getInputWindow() != nullptr;
}

bool InputManager::inputWaiting() {
    if (!readsWindow()) {
        return false;
    }
    takeWindowEvents(*DisplayManager::getInstance().getInputWindow());
    return m_press_taken;
}

void InputManager::takeWindowEvents(sf::WindowBase& window) {
    while (const std::optional<sf::Event> event = window.pollEvent()) {
        m_press_taken = m_press_taken || event->is<sf::Event::KeyPressed>() ||
                        event->is<sf::Event::MouseButtonPressed>() ||
                        event->is<sf::Event::Closed>();
        m_taken.push_back(*event);
    }
}

bool InputManager::deliverTakenEvents() {
    std::vector<sf::Event> taken;
    taken.swap(m_taken);
    m_press_taken = false;
    for (const sf::Event& event : taken) {
        if (!deliverWindowEvent(event)) {
            return false;
        }
    }
    return true;
}

bool InputManager::deliverWindowEvent(const sf::Event& event) {
    if (event.is<sf::Event::Closed>()) {
        LogManager::getInstance().writeLog(
            1, "InputManager::getInput(): Window closed. Setting game over.");
        GameManager::getInstance().setGameOver(true);
        return false;
    }
    if (event.is<sf::Event::KeyPressed>() || event.is<sf::Event::KeyReleased>()) {
        EventKeyboard keyboard = toEventKeyboard(event);
        keyboard.setKeyboardAction(event.is<sf::Event::KeyPressed>() ? KEY_PRESSED : KEY_RELEASED);
        onEvent(&keyboard);
    } else if (const auto* p_moved = event.getIf<sf::Event::MouseMoved>()) {
        EventMouse mouse;
        mouse.setMouseAction(MOVED);
        mouse.setMouseButton(Mouse::UNDEFINED_MOUSE_BUTTON);
        mouse.setMousePosition(toCells(p_moved->position));
        onEvent(&mouse);
    } else if (const auto* p_click = event.getIf<sf::Event::MouseButtonPressed>()) {
        EventMouse mouse;
        mouse.setMouseAction(CLICKED);
        mouse.setMouseButton(toButton(p_click->button));
        mouse.setMousePosition(toCells(p_click->position));
        onEvent(&mouse);
    }
    return true;
}

void InputManager::pollMouseButtons() {
    EventMouse mouse;
    mouse.setMouseAction(PRESSED);
    mouse.setMousePosition(toCells(platform::mousePosition()));
    for (sf::Mouse::Button button :
         {sf::Mouse::Button::Left, sf::Mouse::Button::Right, sf::Mouse::Button::Middle}) {
        if (platform::isMouseButtonDown(button)) {
            mouse.setMouseButton(toButton(button));
            onEvent(&mouse);
        }
    }
}

void InputManager::pollKeys() {
    for (const KeyBinding& binding : KEY_TABLE) {
        if (binding.polled && platform::isKeyDown(binding.sfml_key)) {
            EventKeyboard keyboard;
            keyboard.setKey(binding.key);
            keyboard.setKeyboardAction(KEY_DOWN);
            onEvent(&keyboard);
        }
    }
}

EventKeyboard InputManager::toEventKeyboard(const sf::Event& event) const {
    LogManager& log = LogManager::getInstance();
    EventKeyboard keyboard;
    SfKey code = SfKey::Unknown;
    if (const auto* p_pressed = event.getIf<sf::Event::KeyPressed>()) {
        code = p_pressed->code;
    } else if (const auto* p_released = event.getIf<sf::Event::KeyReleased>()) {
        code = p_released->code;
    } else {
        log.writeLog("toEventKeyboard(): Error! Called with non-keyboard event.");
        keyboard.setKey(Keyboard::UNDEFINED_KEY);
        return keyboard;
    }
    const Keyboard::Key key = toKey(code);
    // The key's description asks the window system; only fetch it for a line
    // that will be written.
    if (key == Keyboard::UNDEFINED_KEY && log.getLogLevel() >= 1) {
        log.writeLog(1, "InputManager::toEventKeyboard(): Warning key '%s' not handled.",
                     describe(code).c_str());
    }
    keyboard.setKey(key);
    if (log.getLogLevel() >= 15) {
        log.writeLog(15, "InputManager::toEventKeyboard(): Keyboard event '%s' (%s)",
                     keyToString(key).c_str(), describe(code).c_str());
    }
    return keyboard;
}

std::string InputManager::keyToString(int key) const {
    for (const KeyBinding& binding : KEY_TABLE) {
        if (binding.key == key) {
            return binding.name;
        }
    }
    return "";
}

Keyboard::Key InputManager::toKey(sf::Keyboard::Key sfml_key) {
    for (const KeyBinding& binding : KEY_TABLE) {
        if (binding.sfml_key == sfml_key) {
            return binding.key;
        }
    }
    return Keyboard::UNDEFINED_KEY;
}

}  // namespace ox
