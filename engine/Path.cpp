#include "Path.h"

#include <istream>
#include <ostream>
#include <utility>

#include "LogManager.h"
#include "serialization.h"
#include "utility.h"

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

int Path::serialize(std::ostream* p_os) const {
    const char* name = "Path::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    writeInt64(*p_os, static_cast<std::int64_t>(m_waypoints.size()));
    for (const Vector& waypoint : m_waypoints) {
        waypoint.serialize(p_os);
    }
    return checkStream(name, *p_os);
}

int Path::deserialize(std::istream* p_is) {
    const char* name = "Path::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    std::int64_t count = 0;
    if (!readInt64(*p_is, count)) {
        return checkStream(name, *p_is);
    }
    if (count < 0 || count > MAX_WAYPOINTS) {
        // The count is untrusted: refuse it before reserving anything, and
        // fail the stream, whose position no longer means anything.
        LogManager::getInstance().writeLog(
            "Path::deserialize(): Error! Cannot allocate %lld waypoints.",
            static_cast<long long>(count));
        p_is->setstate(std::ios::failbit);
        return -1;
    }
    // Grown one waypoint at a time, so memory follows what really arrives.
    std::vector<Vector> waypoints;
    for (std::int64_t i = 0; i < count; i++) {
        Vector waypoint;
        if (waypoint.deserialize(p_is) != 0) {
            return checkStream(name, *p_is);
        }
        waypoints.push_back(waypoint);
    }
    m_waypoints = std::move(waypoints);
    return checkStream(name, *p_is);
}

}  // namespace ox
