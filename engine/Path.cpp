#include "Path.h"

namespace ox {

void Path::setWaypoints(const std::vector<Vector>& new_waypoints) {
    m_waypoints = new_waypoints;
}

bool Path::isDone() const {
    return m_index >= getCount();
}

Vector Path::getCurrent() const {
    if (isDone() || m_index < 0) {
        return Vector();
    }
    return m_waypoints[static_cast<size_t>(m_index)];
}

Path Path::next() {
    if (m_index < getCount()) {
        m_index++;
    }
    return *this;
}

std::string Path::toString() const {
    std::string text;
    for (const Vector& waypoint : m_waypoints) {
        text += waypoint.toString() + "|";
    }
    return text;
}

}  // namespace ox
