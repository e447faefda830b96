#include "PathFind.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"
#include "geometry.h"

namespace ox {

namespace {

/// Most cells a node grid may have (16 bytes each): larger worlds are not searched.
const double MAX_NODES = 4096.0 * 4096.0;

/// Beyond this a coordinate cannot be a cell of any world that can be searched.
const double MAX_COORDINATE = 1.0e9;

/// The length of a step of (dx, dy) cells, computed in double and kept as float.
float distance(int dx, int dy) {
    return static_cast<float>(
        std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

/// The world position of a cell.
Vector positionOf(PathFind::Cell cell) {
    return Vector(static_cast<float>(cell.x), static_cast<float>(cell.y));
}

/// One coordinate of cellAt.
int cellCoordinate(float value) {
    const double rounded = std::round(static_cast<double>(value));
    if (!(std::fabs(rounded) < MAX_COORDINATE)) {
        return -1;
    }
    return static_cast<int>(rounded);
}

}  // namespace

PathFind::PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target)
    : m_p_obj(p_obj),
      m_p_target(p_target),
      m_start(start),
      m_goal(goal),
      m_found(false),
      m_result(SEARCHING) {
    LogManager& log_manager = LogManager::getInstance();
    const Box boundary = WorldManager::getInstance().getBoundary();
    // Whole cells only: a partial column or row at the edge is not searched.
    const double cols = std::trunc(static_cast<double>(boundary.getHorizontal()));
    const double rows = std::trunc(static_cast<double>(boundary.getVertical()));
    if (!(cols >= 1.0 && rows >= 1.0)) {
        return;
    }
    if (!(cols * rows <= MAX_NODES)) {
        log_manager.writeLog("PathFind::PathFind(): Error! Boundary %s is too large to search.",
                             boundary.toString().c_str());
        return;
    }
    m_nodes.assign(static_cast<size_t>(rows), std::vector<Node>(static_cast<size_t>(cols)));
    // Every node starts at g 0, the start's included.
}

PathFind::~PathFind() = default;

PathFind::Cell PathFind::cellAt(Vector position) {
    return Cell{cellCoordinate(position.getX()), cellCoordinate(position.getY())};
}

bool PathFind::contains(Cell cell) const {
    return cell.y >= 0 && cell.y < static_cast<int>(m_nodes.size()) && cell.x >= 0 &&
           cell.x < static_cast<int>(m_nodes[static_cast<size_t>(cell.y)].size());
}

const PathFind::Node* PathFind::getNode(Cell cell) const {
    return contains(cell) ? &m_nodes[cell.y][cell.x] : nullptr;
}

int PathFind::cycleOnce() {
    if (m_result != SEARCHING) {
        return m_result;
    }
    if (m_nodes.empty()) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
        m_result = FAILED;
        return m_result;
    }
    if (!contains(m_start)) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): Error! Start (%d,%d) is outside the world.", m_start.x,
            m_start.y);
        m_result = FAILED;
        return m_result;
    }
    const Cell current = m_open_list.empty() ? m_start : takeBestOpen();
    m_closed_list.push_back(current);
    if (current == m_goal) {
        m_found = true;
    }
    if (m_p_target != nullptr && touchesTarget(current)) {
        m_found = true;
        m_goal = current;
    }
    if (m_found) {
        m_result = FOUND;
        return m_result;
    }
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            if ((dx != 0 || dy != 0) && !skipNeighbour(current, dx, dy)) {
                reach(current, Cell{current.x + dx, current.y + dy}, dx, dy);
            }
        }
    }
    if (m_open_list.empty()) {
        m_result = FAILED;
    }
    return m_result;
}

PathFind::Cell PathFind::takeBestOpen() {
    // From the last entry back, a strictly smaller f wins: among equal f the
    // cell added last is closed first.
    size_t best = m_open_list.size() - 1;
    float best_f = std::numeric_limits<float>::infinity();
    for (size_t i = m_open_list.size(); i-- > 0;) {
        const float f = node(m_open_list[i]).f;
        if (f < best_f) {
            best_f = f;
            best = i;
        }
    }
    const Cell chosen = m_open_list[best];
    m_open_list.erase(m_open_list.begin() + static_cast<std::ptrdiff_t>(best));
    return chosen;
}

bool PathFind::touchesTarget(Cell cell) const {
    const Box walker = getWorldBox(m_p_obj, positionOf(cell));
    const Box target = getWorldBox(m_p_target, positionOf(m_goal));
    return boxIntersectsBox(walker, target);
}

bool PathFind::skipNeighbour(Cell current, int dx, int dy) const {
    // The node grid was built from the boundary's whole extents.
    const Cell neighbour{current.x + dx, current.y + dy};
    if (!contains(neighbour)) {
        return true;
    }
    if (std::find(m_closed_list.begin(), m_closed_list.end(), neighbour) != m_closed_list.end()) {
        return true;
    }
    if (isBlocked(neighbour.x, neighbour.y)) {
        return true;
    }
    // A diagonal step may pass one blocked corner, not squeeze between two.
    return dx != 0 && dy != 0 && isBlocked(current.x + dx, current.y) &&
           isBlocked(current.x, current.y + dy);
}

void PathFind::reach(Cell current, Cell neighbour, int dx, int dy) {
    const float g = distance(dx, dy) + node(current).g;
    Node& next = node(neighbour);
    const bool is_open =
        std::find(m_open_list.begin(), m_open_list.end(), neighbour) != m_open_list.end();
    if (is_open && g > next.g) {
        return;
    }
    if (!is_open) {
        m_open_list.push_back(neighbour);
    }
    next.parent = current;
    next.g = g;
    next.f = g + distance(m_goal.x - neighbour.x, m_goal.y - neighbour.y);
}

bool PathFind::isBlocked(int x, int y) const {
    const ObjectList collisions = WorldManager::getInstance().getCollisions(
        m_p_obj, Vector(static_cast<float>(x), static_cast<float>(y)));
    for (ObjectListIterator it(&collisions); !it.isDone(); it.next()) {
        const Object* p_other = it.currentObject();
        if (p_other->getSolidness() == HARD) {
            // The first HARD object alone decides; one covering the goal lets
            // the walker reach it.
            return !boxContainsPosition(getWorldBox(p_other), positionOf(m_goal));
        }
    }
    return false;
}

Path PathFind::getPath() const {
    Path path;
    if (!m_found) {
        return path;
    }
    std::vector<Vector> waypoints;
    Cell cell = m_goal;
    // Every parent was closed before its child, so the chain reaches the start
    // within as many links as there are closed cells.
    for (size_t links = 0; !(cell == m_start) && links < m_closed_list.size(); links++) {
        waypoints.push_back(positionOf(cell));
        cell = m_nodes[cell.y][cell.x].parent;
    }
    waypoints.push_back(positionOf(m_start));
    std::reverse(waypoints.begin(), waypoints.end());
    path.setWaypoints(waypoints);
    return path;
}

}  // namespace ox
