#pragma once

#include <string>

namespace ox {

/// Label of an event whose type was never set.
inline const std::string UNDEFINED_EVENT = "ox-undefined";

/// Base of every event: a value object built by the sender, handed to
/// receivers by pointer and destroyed after delivery. Receivers tell events
/// apart by their type label.
class Event {
public:
    /// Creates an event labelled "ox-undefined".
    Event();

    /// Virtual so that events can be destroyed through a base pointer.
    virtual ~Event();

    /// Sets the type label.
    void setType(std::string new_type);

    /// A copy of the type label.
    std::string getType() const;

private:
    std::string m_type;  ///< The type label receivers compare.
};

}  // namespace ox
