#pragma once

#include <string>

#include "Event.h"

namespace ox {

/// Label of the view event.
inline const std::string VIEW_EVENT = "ox-view";

/// Asks the view object with a tag to change its value; sent through the
/// world manager's onEvent.
class EventView : public Event {
public:
    /// An event for no tag, value 0, replacing.
    EventView();
    /// An event for the view object tagged new_tag: add new_value when
    /// new_delta, else replace the value with it.
    EventView(std::string new_tag, int new_value, bool new_delta);

    /// Name of the view object to change.
    std::string getTag() const { return m_tag; }
    /// Sets the name of the view object to change.
    void setTag(std::string new_tag);
    /// The value to add or to show.
    int getValue() const { return m_value; }
    /// Sets the value.
    void setValue(int new_value) { m_value = new_value; }
    /// True: add the value; false: replace the shown value.
    bool getDelta() const { return m_delta; }
    /// Sets whether the value is added or replaces.
    void setDelta(bool new_delta) { m_delta = new_delta; }

private:
    std::string m_tag;     ///< Name of the view object to change.
    int m_value = 0;       ///< The value.
    bool m_delta = false;  ///< Add (true) or replace (false).
};

}  // namespace ox
