#include "Object.h"

#include <utility>

#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventNetwork.h"
#include "EventPath.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "NetworkManager.h"
#include "PathFind.h"
#include "PathManager.h"
#include "ResourceManager.h"
#include "WorldManager.h"
#include "utility.h"

namespace ox {

namespace {

/// The id the next object takes; one counter for the whole program.
int next_id = 1;

/// The manager that delivers events of a label, or null when the engine has no
/// manager for that label yet. Every interest goes through here.
Manager* managerFor(const std::string& event_type) {
    if (event_type == STEP_EVENT) {
        return &GameManager::getInstance();
    }
    if (event_type == KEYBOARD_EVENT || event_type == MOUSE_EVENT) {
        return &InputManager::getInstance();
    }
    if (EventNetwork::isNetworkLabel(event_type)) {
        return &NetworkManager::getInstance();
    }
    return &WorldManager::getInstance();
}

}  // namespace

Object::Object()
    : m_id(next_id++),
      m_type("(Undefined)"),
      m_active(true),
      m_visible(true),
      m_box(Vector(-0.5f, -0.5f), 0.99f, 0.99f),
      m_position(1.0f, 1.0f),
      m_speed(0.0f),
      m_altitude(2),
      m_solidness(HARD),
      m_no_soft(false),
      m_event_count(0),
      m_modified(ALL_OBJECT_ATTRIBUTES),
      m_p_path_find(nullptr),
      m_follow_path(false),
      m_avoid_collisions(false),
      m_in_world(false) {
    m_shape.setType(UNDEFINED_SHAPE);
    if (WorldManager::getInstance().insertObject(this) == -1) {
        LogManager::getInstance().writeLog(
            "Object::Object(): Error! Unable to add %p to game world.", static_cast<void*>(this));
        return;
    }
    m_in_world = true;
}

Object::~Object() {
    for (int i = m_event_count - 1; i >= 0; i--) {
        unregisterInterest(m_event_name[i]);
    }
    dropPathFind();
    PathManager::getInstance().forgetTarget(this);
    if (WorldManager::getInstance().removeObject(this) == -1) {
        LogManager::getInstance().writeLog(
            "Object::~Object(): Error! Unable to remove %p from game world.",
            static_cast<void*>(this));
    }
}

SceneGraph* Object::worldIndex() const {
    return m_in_world ? &WorldManager::getInstance().getSceneGraph() : nullptr;
}

std::string Object::solidnessToString(int solidness) {
    switch (solidness) {
        case HARD:
            return "hard";
        case SOFT:
            return "soft";
        case SPECTRAL:
            return "spectral";
        default:
            return "undefined";
    }
}

void Object::setType(std::string new_type) {
    if (SceneGraph* p_index = worldIndex()) {
        p_index->updateType(this, new_type);
    }
    m_type = std::move(new_type);
    mark(TYPE);
}

int Object::setPosition(Vector new_position) {
    if (new_position == m_position) {
        return 0;
    }
    if (SceneGraph* p_index = worldIndex()) {
        p_index->updatePosition(this, new_position);
    }
    mark(POSITION);
    m_position = new_position;
    return 0;
}

int Object::setActive(bool active) {
    if (active == m_active) {
        return 0;
    }
    SceneGraph* p_index = worldIndex();
    if (p_index != nullptr && p_index->updateActive(this, active) == -1) {
        return -1;
    }
    mark(ACTIVE);
    m_active = active;
    return 0;
}

bool Object::isVisible() const {
    return m_visible;
}

int Object::setVisible(bool visible) {
    if (visible == m_visible) {
        return 0;
    }
    SceneGraph* p_index = worldIndex();
    if (p_index != nullptr && p_index->updateVisible(this, visible) == -1) {
        return -1;
    }
    m_visible = visible;
    mark(VISIBLE);
    return 0;
}

int Object::setSolidness(Solidness new_solid) {
    if (new_solid == m_solidness) {
        return 0;
    }
    if (new_solid < HARD || new_solid > SPECTRAL) {
        LogManager::getInstance().writeLog(
            "Object::setSolidness(): Solidness %d not one of HARD, SOFT or SPECTRAL.",
            static_cast<int>(new_solid));
        return -1;
    }
    SceneGraph* p_index = worldIndex();
    if (p_index != nullptr && p_index->updateSolidness(this, new_solid) == -1) {
        return -1;
    }
    mark(SOLIDNESS);
    m_solidness = new_solid;
    return 0;
}

bool Object::isSolid() const {
    return m_solidness == HARD || m_solidness == SOFT;
}

int Object::setAltitude(int new_altitude) {
    if (new_altitude == m_altitude) {
        return 0;
    }
    if (!inRange(static_cast<float>(new_altitude), 0.0f, static_cast<float>(MAX_ALTITUDE))) {
        LogManager::getInstance().writeLog(
            "Object::setAltitude(): Altitude %d not in range [%d,%d].  Ignored.", new_altitude, 0,
            MAX_ALTITUDE);
        return -1;
    }
    SceneGraph* p_index = worldIndex();
    if (p_index != nullptr && p_index->updateAltitude(this, new_altitude) == -1) {
        return -1;
    }
    mark(ALTITUDE);
    m_altitude = new_altitude;
    return 0;
}

int Object::setBox(Box new_box) {
    if (new_box == m_box) {
        return 0;
    }
    mark(BOX);
    SceneGraph* p_index = worldIndex();
    if (p_index == nullptr) {
        m_box = new_box;
        return 0;
    }
    // Re-inserting lets the grid buckets follow the new extent.
    p_index->removeObject(this);
    m_box = new_box;
    return p_index->insertObject(this);
}

int Object::setSprite(std::string sprite_label) {
    Sprite* p_sprite = ResourceManager::getInstance().getSprite(sprite_label);
    if (p_sprite == nullptr) {
        LogManager::getInstance().writeLog("Object::setSprite(): Warning! Sprite '%s' not found",
                                           sprite_label.c_str());
        return -1;
    }
    m_animation.setSprite(p_sprite);
    mark(ANIMATION);
    setBox(m_animation.getBox());
    return 0;
}

void Object::setAnimation(Animation new_animation, bool set_box) {
    m_animation = std::move(new_animation);
    mark(ANIMATION);
    if (set_box) {
        setBox(m_animation.getBox());
    }
}

int Object::draw() {
    const int result = m_animation.draw(m_position);
    if (m_shape.getType() != UNDEFINED_SHAPE) {
        m_shape.draw(m_position);
    }
    return result;
}

void Object::setShape(Shape new_shape) {
    m_shape = new_shape;
    mark(SHAPE);
}

void Object::setDirection(Vector new_direction) {
    new_direction.normalize();
    m_direction = new_direction;
    mark(DIRECTION);
}

void Object::setSpeed(float new_speed) {
    m_speed = new_speed;
    mark(SPEED);
}

void Object::setVelocity(Vector new_velocity) {
    m_speed = new_velocity.getMagnitude();
    new_velocity.normalize();
    m_direction = new_velocity;
    mark(DIRECTION | SPEED);
}

Vector Object::getVelocity() const {
    Vector velocity = m_direction;
    velocity.scale(m_speed);
    return velocity;
}

void Object::setAcceleration(Vector new_acceleration) {
    m_acceleration = new_acceleration;
    mark(ACCELERATION);
}

Vector Object::predictPosition() const {
    return m_position + getVelocity();
}

void Object::setNoSoft(bool no_soft) {
    m_no_soft = no_soft;
    mark(NO_SOFT);
}

void Object::setAvoidCollisions(bool avoid) {
    m_avoid_collisions = avoid;
    mark(AVOID_COLLISIONS);
}

void Object::setPath(Path new_path) {
    m_path = std::move(new_path);
    mark(PATH);
}

void Object::steerTo(Vector waypoint) {
    setDirection(waypoint - m_position);
}

void Object::setFollowPath(bool follow) {
    m_follow_path = follow;
    if (!m_path.isDone()) {
        steerTo(m_path.getCurrent());
    }
    mark(FOLLOW_PATH);
}

void Object::setModified(unsigned int new_modified) {
    m_modified = new_modified;
}

unsigned int Object::getModified() const {
    return m_modified;
}

std::string Object::getEventName(int index) const {
    if (index < 0 || index >= m_event_count) {
        return "";
    }
    return m_event_name[index];
}

int Object::registerInterest(std::string event_type) {
    LogManager& log_manager = LogManager::getInstance();
    if (m_event_count == MAX_OBJ_EVENTS) {
        log_manager.writeLog(
            "Object::registerInterest(): maximum (%d) reached, cannot register for event '%s'",
            MAX_OBJ_EVENTS, event_type.c_str());
        return -1;
    }
    Manager* p_manager = managerFor(event_type);
    if (p_manager == nullptr) {
        log_manager.writeLog("Object::registerInterest(): Error! No manager delivers event '%s'.",
                             event_type.c_str());
        return -1;
    }
    if (p_manager->registerInterest(this, event_type) == -1) {
        return -1;
    }
    m_event_name[m_event_count] = std::move(event_type);
    m_event_count++;
    mark(EVENTS);
    return 0;
}

int Object::unregisterInterest(std::string event_type) {
    LogManager& log_manager = LogManager::getInstance();
    int found = 0;
    while (found < m_event_count && m_event_name[found] != event_type) {
        found++;
    }
    if (found == m_event_count) {
        log_manager.writeLog("Object::unregisterInterest(): event '%s' not previously registered",
                             event_type.c_str());
        return -1;
    }
    Manager* p_manager = managerFor(event_type);
    if (p_manager == nullptr) {
        log_manager.writeLog("Object::unregisterInterest(): Error! No manager delivers event '%s'.",
                             event_type.c_str());
        return -1;
    }
    if (p_manager->unregisterInterest(this, event_type) == -1) {
        return -1;
    }
    for (int i = found; i < m_event_count - 1; i++) {
        m_event_name[i] = m_event_name[i + 1];
    }
    m_event_count--;
    m_event_name[m_event_count].clear();
    mark(EVENTS);
    return 0;
}

int Object::eventHandler(const Event* p_e) {
    if (p_e == nullptr || p_e->getType() != PATH_EVENT) {
        return 0;
    }
    const EventPath* p_path_event = dynamic_cast<const EventPath*>(p_e);
    if (p_path_event == nullptr) {
        LogManager::getInstance().writeLog(
            "Object::eventHandler(): Error! Dynamic cast to EventPath failed.");
        return 0;
    }
    if (p_path_event->getStatus() == PATH_FOUND_STATUS) {
        setPath(p_path_event->getPath());
        setFollowPath(true);
    }
    dropPathFind();
    return 1;
}

int Object::findPath(Vector goal) {
    return startPathFind(goal, nullptr);
}

int Object::findPath(Object* p_target) {
    if (p_target == nullptr) {
        LogManager::getInstance().writeLog("Object::findPath(): Error! Target is NULL.");
        return -1;
    }
    return startPathFind(p_target->getPosition(), p_target);
}

int Object::startPathFind(Vector goal, Object* p_target) {
    dropPathFind();
    PathFind* p_path_find =
        new PathFind(this, PathFind::cellAt(m_position), PathFind::cellAt(goal), p_target);
    // Without a node grid (a world of no whole cell) the search is still run,
    // to fail and be reported like any other.
    if (p_path_find->hasNodes() && !(p_path_find->contains(p_path_find->getStart()) &&
                                     p_path_find->contains(p_path_find->getGoal()))) {
        LogManager::getInstance().writeLog(
            "Object::findPath(): Error! Position %s or goal %s is outside the world.",
            m_position.toString().c_str(), goal.toString().c_str());
        delete p_path_find;
        return -1;
    }
    if (PathManager::getInstance().insert(p_path_find) != 0) {
        delete p_path_find;
        return -1;
    }
    m_p_path_find = p_path_find;
    return 0;
}

void Object::dropPathFind() {
    if (m_p_path_find == nullptr) {
        return;
    }
    PathManager::getInstance().remove(m_p_path_find);
    delete m_p_path_find;
    m_p_path_find = nullptr;
}

void Object::followPath() {
    if (!m_follow_path) {
        return;
    }
    // Close enough to a waypoint (within three quarters of a step) counts as
    // reached: snap onto it and look at the next one.
    while (!m_path.isDone()) {
        const Vector waypoint = m_path.getCurrent();
        const double distance = (waypoint - m_position).getMagnitude();
        if (distance > static_cast<double>(m_speed) * 3 * 0.25) {
            steerTo(waypoint);
            return;
        }
        setPosition(waypoint);
        m_path.next();
        mark(PATH);
    }
    setDirection(Vector());
    setFollowPath(false);
}

void Object::accelerate() {
    if (m_acceleration == Vector()) {
        return;
    }
    setVelocity(getVelocity() + m_acceleration);
}

}  // namespace ox
