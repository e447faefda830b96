#pragma once

#include "Event.h"

namespace ox {

/// Label of the out event.
inline const std::string OUT_EVENT = "ox-out";

/// Sent by the world manager to an object that has left the world's boundary.
class EventOut : public Event {
public:
    /// An out event.
    EventOut();
};

}  // namespace ox
