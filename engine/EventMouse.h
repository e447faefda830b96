#pragma once

#include "Event.h"
#include "Vector.h"

namespace ox {

/// Label of the mouse event.
inline const std::string MOUSE_EVENT = "ox-mouse";

namespace Mouse {

/// The mouse buttons the engine reports.
enum Button : int {
    UNDEFINED_MOUSE_BUTTON = -1,
    LEFT = 0,
    RIGHT = 1,
    MIDDLE = 2,
};

}  // namespace Mouse

/// What the mouse did.
enum EventMouseAction : int {
    UNDEFINED_MOUSE_ACTION = -1,  ///< not set
    CLICKED = 0,                  ///< a button went down
    PRESSED = 1,                  ///< a button is held; sent every step while held
    MOVED = 2,                    ///< the pointer moved (no button)
};

/// Mouse input, sent by the input manager to objects registered for it.
class EventMouse : public Event {
public:
    /// An event with undefined action and button at (0,0).
    EventMouse();

    /// Sets the action.
    void setMouseAction(EventMouseAction new_mouse_action);
    /// The action.
    EventMouseAction getMouseAction() const;
    /// Sets the button.
    void setMouseButton(Mouse::Button new_mouse_button);
    /// The button.
    Mouse::Button getMouseButton() const;
    /// Sets the pointer's position in cells.
    void setMousePosition(Vector new_mouse_xy);
    /// The pointer's position in cells.
    Vector getMousePosition() const;

private:
    EventMouseAction m_mouse_action = UNDEFINED_MOUSE_ACTION;      ///< What the mouse did.
    Mouse::Button m_mouse_button = Mouse::UNDEFINED_MOUSE_BUTTON;  ///< Which button.
    Vector m_mouse_xy;                                             ///< Pointer position.
};

}  // namespace ox
