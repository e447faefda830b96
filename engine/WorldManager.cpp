#include "WorldManager.h"

#include <algorithm>
#include <cmath>

#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventOut.h"
#include "EventStep.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "geometry.h"
#include "utility.h"

namespace ox {

namespace {

/// The first HARD object of a list, or null.
Object* firstHard(const ObjectList& objects) {
    for (ObjectListIterator it(&objects); !it.isDone(); it.next()) {
        if (it.currentObject()->getSolidness() == HARD) {
            return it.currentObject();
        }
    }
    return nullptr;
}

/// The view's corner on one axis: centred on centre, ending no later than the
/// boundary's extent, and never before 0.
float viewCorner(float centre, float view_extent, float boundary_extent) {
    float corner = centre - view_extent * 0.5f;
    if (corner + view_extent > boundary_extent) {
        corner = boundary_extent - view_extent;
    }
    return std::max(0.0f, corner);
}

/// The view's centre on one axis after the followed object moved to position:
/// it moves only as far as needed to keep the object within the slack zone.
float scrolledCentre(float corner, float view_extent, float slack, float position) {
    float centre = corner + view_extent * 0.5f;
    const float left = centre - slack * view_extent * 0.5f;
    const float right = centre + slack * view_extent * 0.5f;
    if (position < left) {
        centre -= left - position;
    } else if (position > right) {
        centre += position - right;
    }
    return centre;
}

}  // namespace

WorldManager::WorldManager() : m_p_view_following(nullptr) {
    setType("WorldManager");
}

WorldManager& WorldManager::getInstance() {
    static WorldManager world_manager;
    return world_manager;
}

bool WorldManager::isValid(std::string event_name) const {
    LogManager& log_manager = LogManager::getInstance();
    if (event_name == KEYBOARD_EVENT || event_name == MOUSE_EVENT || event_name == STEP_EVENT) {
        log_manager.writeLog("WorldManager::isValid(): WorldManager does not handle %s",
                             event_name.c_str());
        return false;
    }
    if (event_name == COLLISION_EVENT || event_name == OUT_EVENT) {
        log_manager.writeLog("WorldManager::isValid(): Event %s handled automatically.",
                             event_name.c_str());
        return false;
    }
    return true;
}

int WorldManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    m_deletions.clear();
    m_boundary = Box();
    m_view = Box();
    m_view_slack = Vector();
    m_p_view_following = nullptr;
    // A boundary set before start-up may have built a grid already; the grid
    // is rebuilt for the reset boundary.
    m_scene_graph.shutDown();
    if (m_scene_graph.startUp() != 0) {
        log_manager.writeLog("WorldManager::startUp(): Error! Unable to startup Scenegraph");
        return -1;
    }
    Manager::startUp();
    log_manager.writeLog(5, "WorldManager::startUp(): successfully started.");
    return 0;
}

void WorldManager::shutDown() {
    Manager::shutDown();
    const ObjectList everything = m_scene_graph.activeObjects() + m_scene_graph.inactiveObjects();
    for (ObjectListIterator it(&everything); !it.isDone(); it.next()) {
        delete it.currentObject();
    }
    m_deletions.clear();
    m_scene_graph.shutDown();
    LogManager::getInstance().writeLog(5, "WorldManager::shutDown(): Successfully stopped.");
}

int WorldManager::insertObject(Object* p_o) {
    if (!isStarted()) {
        LogManager& log_manager = LogManager::getInstance();
        log_manager.writeLog(2, "WorldManager::insertObject(): Warning! Not adding Object %d",
                             p_o->getId());
        log_manager.writeLog(2, "                              because WorldManager not started.");
        return -1;
    }
    return m_scene_graph.insertObject(p_o);
}

int WorldManager::removeObject(Object* p_o) {
    // Nothing may keep a pointer to an object that leaves the world.
    if (p_o == m_p_view_following) {
        m_p_view_following = nullptr;
    }
    m_deletions.remove(p_o);
    return m_scene_graph.removeObject(p_o);
}

int WorldManager::markForDelete(Object* p_o) {
    for (ObjectListIterator it(&m_deletions); !it.isDone(); it.next()) {
        if (it.currentObject() == p_o) {
            return 0;
        }
    }
    // An object outside the world is never deleted by it. (While shutting
    // down every object is deleted anyway, and a destructor marking another
    // object must not make the world look at it.)
    if (isStarted() && p_o != nullptr && !p_o->isInWorld()) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete(): Error! Object %d is not in the world.", p_o->getId());
        return -1;
    }
    if (m_deletions.insert(p_o) != 0) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete(): Error! unable to add Object %p to deletions list",
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

ObjectList WorldManager::getCollisions(const Object* p_o, Vector where) const {
    return m_scene_graph.getCollisions(p_o, where);
}

int WorldManager::moveObject(Object* p_o, Vector where) {
    if (p_o->isSolid() && collide(p_o, where) != 0) {
        return -1;
    }
    const Box before = getWorldBox(p_o);
    p_o->setPosition(where);
    const Box after = getWorldBox(p_o);
    if (boxIntersectsBox(before, m_boundary) && !boxIntersectsBox(after, m_boundary)) {
        EventOut out;
        p_o->eventHandler(&out);
    }
    if (p_o == m_p_view_following) {
        scrollView();
    }
    return 0;
}

int WorldManager::collide(Object* p_o, Vector& where) {
    ObjectList collisions = getCollisions(p_o, where);
    if (collisions.isEmpty()) {
        return 0;
    }
    if (p_o->getSolidness() == HARD && p_o->getAvoidCollisions()) {
        Object* p_hard = firstHard(collisions);
        if (p_hard != nullptr && slide(p_o, p_hard, where, collisions) != 0) {
            return -1;
        }
    }
    const Vector start = p_o->getPosition();
    bool may_move = true;
    for (ObjectListIterator it(&collisions); !it.isDone(); it.next()) {
        Object* p_other = it.currentObject();
        EventCollision collision(p_o, p_other, where);
        p_o->eventHandler(&collision);
        p_other->eventHandler(&collision);
        if (p_o->getSolidness() == HARD && p_other->getSolidness() == HARD) {
            may_move = false;
        }
        if (p_o->getNoSoft() && p_other->getSolidness() == SOFT) {
            may_move = false;
        }
    }
    // A handler that moved the object has decided where it is.
    if (!may_move || p_o->getPosition() != start) {
        return -1;
    }
    return 0;
}

int WorldManager::slide(Object* p_o, Object* p_hard, Vector& where, ObjectList& collisions) {
    const Vector normal = getNormal(p_o, p_hard);
    const Vector direction = p_o->getDirection();
    const float across_x = std::fabs(normal.getX());
    const float across_y = std::fabs(normal.getY());
    // Keep the part of the motion along the obstacle's side; at a corner, turn away.
    Vector slide_step(direction.getX() * across_y, direction.getY() * across_x);
    if (across_x == 1.0f && across_y == 1.0f) {
        slide_step.setX(-slide_step.getX());
    }
    slide_step.normalize();
    slide_step.scale(p_o->getSpeed());
    const Vector slid_where = p_o->getPosition() + slide_step;
    ObjectList slid_collisions = getCollisions(p_o, slid_where);
    if (firstHard(slid_collisions) != nullptr) {
        LogManager::getInstance().writeLog(
            5,
            "WorldManager::moveObject(): Double collision. Object (avoid obstacles) cannot move.");
        return -1;
    }
    where = slid_where;
    collisions = slid_collisions;
    return 0;
}

void WorldManager::update() {
    const ObjectList active = m_scene_graph.activeObjects();
    for (ObjectListIterator it(&active); !it.isDone(); it.next()) {
        Object* p_o = it.currentObject();
        const Vector new_position = p_o->predictPosition();
        if (new_position != p_o->getPosition()) {
            moveObject(p_o, new_position);
        }
        p_o->followPath();
        p_o->accelerate();
    }
    // Objects marked while these are deleted (by their destructors) are
    // deleted in the same pass.
    while (!m_deletions.isEmpty()) {
        Object* p_o = m_deletions[0];
        m_deletions.remove(p_o);
        delete p_o;
    }
}

void WorldManager::draw() {
    for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
        const ObjectList visible = m_scene_graph.visibleObjects(altitude);
        for (ObjectListIterator it(&visible); !it.isDone(); it.next()) {
            drawObject(it.currentObject());
        }
    }
}

void WorldManager::drawObject(Object* p_o) {
    // View objects sit on the screen, not in the world: their box says
    // nothing about whether they are in view.
    if (boxIntersectsBox(getWorldBox(p_o), m_view) || p_o->isOnScreen()) {
        p_o->draw();
    }
}

int WorldManager::setBoundary(Box new_boundary) {
    if (new_boundary == m_boundary) {
        return 0;
    }
    const Box old_boundary = m_boundary;
    m_boundary = new_boundary;
    m_scene_graph.shutDown();
    if (m_scene_graph.startUp() == 0) {
        return 0;
    }
    // A refused boundary would leave the world without its collision grid and
    // type map: go back to the old one, so collisions and lookups still work.
    LogManager::getInstance().writeLog(
        "WorldManager::setBoundary(): Error! Boundary %s refused. Keeping %s.",
        new_boundary.toString().c_str(), old_boundary.toString().c_str());
    m_boundary = old_boundary;
    m_scene_graph.shutDown();
    m_scene_graph.startUp();
    return -1;
}

void WorldManager::setView(Box new_view) {
    m_view = new_view;
}

void WorldManager::setViewSlack(Vector new_view_slack) {
    if (!inRange(new_view_slack.getX(), 0.0f, 1.0f) ||
        !inRange(new_view_slack.getY(), 0.0f, 1.0f)) {
        LogManager::getInstance().writeLog(
            "WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]");
    }
    m_view_slack = new_view_slack;
}

void WorldManager::setViewPosition(Vector where) {
    const float x = viewCorner(where.getX(), m_view.getHorizontal(), m_boundary.getHorizontal());
    const float y = viewCorner(where.getY(), m_view.getVertical(), m_boundary.getVertical());
    m_view.setCorner(Vector(x, y));
}

int WorldManager::setViewFollowing(Object* p_new_view_following) {
    m_p_view_following = p_new_view_following;
    if (m_p_view_following != nullptr) {
        setViewPosition(m_p_view_following->getPosition());
    }
    return 0;
}

void WorldManager::scrollView() {
    const Vector position = m_p_view_following->getPosition();
    const Vector corner = m_view.getCorner();
    const float centre_x =
        scrolledCentre(corner.getX(), m_view.getHorizontal(), m_view_slack.getX(), position.getX());
    const float centre_y =
        scrolledCentre(corner.getY(), m_view.getVertical(), m_view_slack.getY(), position.getY());
    setViewPosition(Vector(centre_x, centre_y));
}

}  // namespace ox
