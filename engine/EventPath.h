#pragma once

#include "Event.h"
#include "Path.h"

namespace ox {

/// Label of the path event.
inline const std::string PATH_EVENT = "ox-path";

/// A path search has ended; sent by the path manager to the searching object.
class EventPath : public Event {
public:
    /// An event with status 0 and an empty path.
    EventPath();

    /// Sets the outcome of the search.
    void setStatus(int new_status) { m_status = new_status; }
    /// The outcome of the search, as PathFind::cycleOnce reports it (PathFind::FOUND
    /// when a path was found).
    int getStatus() const { return m_status; }
    /// Sets the waypoints found (copied).
    void setPath(const Path& new_path) { m_path = new_path; }
    /// A copy of the waypoints found.
    Path getPath() const { return m_path; }

private:
    int m_status = 0;  ///< Outcome of the search.
    Path m_path;       ///< Waypoints found.
};

}  // namespace ox
