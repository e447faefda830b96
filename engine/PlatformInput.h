#pragma once

// The keyboard and mouse, read through the window library (and, where windows
// go through an X display server, straight from the server). Apart from
// Platform.h so that the rest of the platform layer builds without the window
// library.

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

namespace sf {
class WindowBase;
}

namespace ox::platform {

// The held keys and buttons are read once a frame: one query of the window
// system each for the keyboard and the mouse, however many keys are asked
// about afterwards. Where asking is cheap (no display server between the
// program and the devices) each answer is read when asked.

/// Reads which keys are down now; isKeyDown answers from this reading.
void readKeyboard();

/// True when the key was down at the last readKeyboard.
bool isKeyDown(sf::Keyboard::Key key);

/// Reads the mouse now: which buttons are down, and the pointer's position in
/// pixels relative to the window.
void readMouse(const sf::WindowBase& window);

/// The pointer's position at the last readMouse.
sf::Vector2i mousePosition();

/// True when the button was down at the last readMouse.
bool isMouseButtonDown(sf::Mouse::Button button);

}  // namespace ox::platform
