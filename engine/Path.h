#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Vector.h"

namespace ox {

/// Waypoints in world cells with the index of the current one.
class Path {
public:
    /// An empty path at index 0.
    Path() = default;

    /// Replaces the waypoints with a copy; the index is unchanged.
    void setWaypoints(const std::vector<Vector>& new_waypoints);
    /// The waypoints, in order.
    const std::vector<Vector>& getWaypoints() const { return m_waypoints; }
    /// The index of the current waypoint.
    int getIndex() const { return m_index; }
    /// Number of waypoints.
    int getCount() const { return static_cast<int>(m_waypoints.size()); }

    /// True when the index is at or past the number of waypoints.
    bool isDone() const;
    /// The waypoint at the index, or (0,0) when done.
    Vector getCurrent() const;
    /// Moves to the next waypoint (held at the number of waypoints); returns a copy.
    Path next();

    /// Each waypoint's text form followed by "|", all run together.
    std::string toString() const;

    /// Writes the number of waypoints as a 64-bit integer, then each
    /// waypoint's vector form; the index is not written. The stream check's result.
    int serialize(std::ostream* p_os) const;
    /// Replaces the waypoints with those read, leaving the index; they are
    /// kept when the stream ends first. A count below 0 or above
    /// MAX_WAYPOINTS is refused (-1, stream failed). The stream check's result.
    int deserialize(std::istream* p_is);

private:
    std::vector<Vector> m_waypoints;
    int m_index = 0;
};

}  // namespace ox
