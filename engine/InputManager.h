#pragma once

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <string>
#include <vector>

#include "EventKeyboard.h"
#include "Manager.h"

namespace ox {

/// Turns what the window reports into keyboard and mouse events: as each
/// step starts it takes the window's pending events and reads the held mouse
/// buttons and keys, which that step's getInput then delivers. Key repeat is
/// off while it runs, so a held key gives one press event and then one
/// KEY_DOWN event per frame.
///
/// An object that wants the keys registers for them and reads the events:
/// \code
/// registerInterest(ox::KEYBOARD_EVENT);  // in the constructor
/// // in eventHandler:
/// auto* p_key = static_cast<const ox::EventKeyboard*>(p_e);
/// if (p_key->getKey() == ox::Keyboard::Q && p_key->getKeyboardAction() == ox::KEY_PRESSED) {
///     ox::GameManager::getInstance().setGameOver();
/// }
/// \endcode
class InputManager : public Manager {
public:
    /// The one instance, created on first use.
    static InputManager& getInstance();

    /// Switches the window's key repeat off (nothing to do headless). 0, or -1
    /// when already started or the display manager is not started.
    int startUp() override;

    /// Gives the window its key repeat back and marks the manager stopped.
    void shutDown() override;

    /// True for "ox-keyboard" and "ox-mouse".
    bool isValid(std::string event_name) const override;

    /// Takes what the player has done up to now for this frame's getInput:
    /// the window's pending events, and which keys and mouse buttons are
    /// held. The game loop calls it as each step starts, so that a step reads
    /// what came before its start, and what comes later waits for the next
    /// step (which a press then starts at once). Nothing happens headless.
    void takeInput();

    /// Delivers this frame's keyboard and mouse events, as taken by
    /// inputWaiting and takeInput (which it calls first when nothing was
    /// taken since the last getInput); a closed window sets game over at
    /// once. Nothing happens in headless mode.
    void getInput();

    /// True when started with a window to read (not headless).
    bool readsWindow() const;

    /// Takes the window's pending events for the next getInput, and tells
    /// whether a key or mouse button press, or the window's closing, is among
    /// the events taken so far. False when there is no window to read.
    bool inputWaiting();

    /// A keyboard event with the key of a key press or release set (action
    /// left undefined); UNDEFINED_KEY, with a log line, for any other event
    /// or a key the engine does not handle.
    EventKeyboard toEventKeyboard(const sf::Event& event) const;

    /// The printable name of a key, or "" when it has none.
    std::string keyToString(int key) const;

    /// The engine key the window library's key produces, or UNDEFINED_KEY.
    static Keyboard::Key toKey(sf::Keyboard::Key sfml_key);

private:
    InputManager();

    /// Takes the window's pending events and reads the held keys and buttons.
    void takeAll(sf::WindowBase& window);

    /// Moves the window's pending events to m_taken.
    void takeWindowEvents(sf::WindowBase& window);

    /// Delivers the events taken. False when the window was closed (the rest
    /// of the frame's input is then skipped).
    bool deliverTakenEvents();

    /// Delivers one window event. False when it was the window's closing.
    bool deliverWindowEvent(const sf::Event& event);

    /// Delivers one PRESSED event for each mouse button held, left, right, middle.
    void pollMouseButtons();

    /// Delivers one KEY_DOWN event for each polled key held, in table order.
    void pollKeys();

    std::vector<sf::Event> m_taken;  ///< Events taken from the window before their getInput.
    bool m_press_taken;              ///< A press or the closing is among m_taken.
    bool m_state_taken;              ///< The held keys and buttons were read for getInput.
};

}  // namespace ox
