#include "Object.h"

#include <climits>
#include <istream>
#include <ostream>
#include <utility>
#include <vector>

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
#include "serialization.h"
#include "utility.h"

namespace ox {

namespace {

/// The id the next object takes; one counter for the whole program.
int next_id = 1;

/// Takes the next id. The counter stops at the largest id instead of
/// overflowing: ids read from records can raise it close to the top.
int takeNextId() {
    const int id = next_id;
    if (next_id < INT_MAX) {
        next_id++;
    }
    return id;
}

/// The attributes of a record in the order they are written. DIRECTION comes
/// before SPEED and FOLLOW_PATH before PATH, the reverse of their bit order.
const unsigned int RECORD_ORDER[] = {
    ID,    ACTIVE,       VISIBLE,  EVENTS,      BOX,     POSITION,
    TYPE,  ANIMATION,    ALTITUDE, SOLIDNESS,   NO_SOFT, DIRECTION,
    SPEED, ACCELERATION, SHAPE,    FOLLOW_PATH, PATH,    AVOID_COLLISIONS,
};

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
    : m_id(takeNextId()),
      m_solidness(HARD),
      m_box(Vector(-0.5f, -0.5f), 0.99f, 0.99f),
      m_position(1.0f, 1.0f),
      m_speed(0.0f),
      m_modified(ALL_OBJECT_ATTRIBUTES),
      m_active(true),
      m_visible(true),
      m_no_soft(false),
      m_follow_path(false),
      m_avoid_collisions(false),
      m_in_world(false),
      m_altitude(2),
      m_p_path_find(nullptr),
      m_type("(Undefined)") {
    m_shape.setType(UNDEFINED_SHAPE);
    if (WorldManager::getInstance().insertObject(this) == -1) {
        LogManager::getInstance().writeLog(
            "Object::Object(): Error! Unable to add %p to game world.", static_cast<void*>(this));
        return;
    }
    m_in_world = true;
}

Object::~Object() {
    dropInterests();
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
    if (index < 0 || index >= getEventCount()) {
        return "";
    }
    return m_events[static_cast<size_t>(index)];
}

int Object::registerInterest(std::string event_type) {
    LogManager& log_manager = LogManager::getInstance();
    if (getEventCount() == MAX_OBJ_EVENTS) {
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
    m_events.push_back(std::move(event_type));
    mark(EVENTS);
    return 0;
}

int Object::unregisterInterest(std::string event_type) {
    LogManager& log_manager = LogManager::getInstance();
    const auto found = std::find(m_events.begin(), m_events.end(), event_type);
    if (found == m_events.end()) {
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
    m_events.erase(found);
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

int Object::serialize(std::ostream* p_os, unsigned int attr) {
    const char* name = "Object::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    LogManager& log = LogManager::getInstance();
    log.writeLog(20, "Object::serialize(): attr is %u, modified is %u (%s)", attr, m_modified,
                 boolText(m_modified != 0));
    log.writeLog(25, "\t%s", toBitString(attr).c_str());
    const unsigned int mask = attr != 0 ? attr : m_modified;
    writeUint32(*p_os, mask);
    for (const unsigned int attribute : RECORD_ORDER) {
        if ((mask & attribute) != 0) {
            writeAttribute(*p_os, attribute);
            m_modified &= ~attribute;
            logAttribute(attribute);
        }
    }
    return checkStream(name, *p_os);
}

void Object::writeAttribute(std::ostream& os, unsigned int attribute) {
    switch (attribute) {
        case ID:
            writeInt32(os, m_id);
            break;
        case ACTIVE:
            writeBool(os, m_active);
            break;
        case VISIBLE:
            writeBool(os, m_visible);
            break;
        case EVENTS:
            writeInt32(os, getEventCount());
            for (const std::string& label : m_events) {
                writeString(os, label);
            }
            break;
        case BOX:
            m_box.serialize(&os);
            break;
        case POSITION:
            m_position.serialize(&os);
            break;
        case TYPE:
            writeString(os, m_type);
            break;
        case ANIMATION:
            m_animation.serialize(&os);
            m_animation.setModified(false);
            break;
        case ALTITUDE:
            writeInt32(os, m_altitude);
            break;
        case SOLIDNESS:
            writeInt32(os, m_solidness);
            break;
        case NO_SOFT:
            writeBool(os, m_no_soft);
            break;
        case DIRECTION:
            m_direction.serialize(&os);
            break;
        case SPEED:
            writeFloat(os, m_speed);
            break;
        case ACCELERATION:
            m_acceleration.serialize(&os);
            break;
        case SHAPE:
            m_shape.serialize(&os);
            break;
        case FOLLOW_PATH:
            writeBool(os, m_follow_path);
            break;
        case PATH:
            m_path.serialize(&os);
            break;
        case AVOID_COLLISIONS:
            writeBool(os, m_avoid_collisions);
            break;
        default:
            break;
    }
}

void Object::logAttribute(unsigned int attribute) const {
    LogManager& log = LogManager::getInstance();
    // The text forms are built only when the lines will be written.
    if (log.getLogLevel() < 25) {
        return;
    }
    switch (attribute) {
        case ID:
            log.writeLog(25, "\tID: %d", m_id);
            break;
        case ACTIVE:
            log.writeLog(25, "\tACTIVE: %s", boolText(m_active));
            break;
        case VISIBLE:
            log.writeLog(25, "\tVISIBLE: %s", boolText(m_visible));
            break;
        case EVENTS:
            log.writeLog(25, "\tEVENTS: %d", getEventCount());
            for (const std::string& label : m_events) {
                log.writeLog(25, "\t\t%s (size %zu)", label.c_str(), label.size());
            }
            break;
        case BOX:
            log.writeLog(25, "\tBOX: %s", m_box.toString().c_str());
            break;
        case POSITION:
            log.writeLog(25, "\tPOSITION: %s", m_position.toString().c_str());
            break;
        case TYPE:
            log.writeLog(25, "\tTYPE: %s", m_type.c_str());
            break;
        case ANIMATION:
            log.writeLog(25, "\tANIMATION: %s", m_animation.toString().c_str());
            break;
        case ALTITUDE:
            log.writeLog(25, "\tALTITUDE: %d", m_altitude);
            break;
        case SOLIDNESS:
            log.writeLog(25, "\tSOLIDNESS: %s", solidnessToString(m_solidness).c_str());
            break;
        case NO_SOFT:
            log.writeLog(25, "\tNO_SOFT: %s", boolText(m_no_soft));
            break;
        case DIRECTION:
            log.writeLog(25, "\tDIRECTION: %s", m_direction.toString().c_str());
            break;
        case SPEED:
            log.writeLog(25, "\tSPEED: %f", static_cast<double>(m_speed));
            break;
        case ACCELERATION:
            log.writeLog(25, "\tACCELERATION: %s", m_acceleration.toString().c_str());
            break;
        case SHAPE:
            log.writeLog(25, "\tSHAPE: %s", m_shape.toString().c_str());
            break;
        case FOLLOW_PATH:
            log.writeLog(25, "\tFOLLOW_PATH: %s", boolText(m_follow_path));
            break;
        case PATH:
            log.writeLog(25, "\tPATH: %s", m_path.toString().c_str());
            break;
        case AVOID_COLLISIONS:
            log.writeLog(25, "\tAVOID_COLLISIONS: %s", boolText(m_avoid_collisions));
            break;
        default:
            break;
    }
}

int Object::deserialize(std::istream* p_is, unsigned int* p_attr) {
    const char* name = "Object::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    LogManager& log = LogManager::getInstance();
    std::uint32_t mask = 0;
    readUint32(*p_is, mask);
    if (p_attr != nullptr) {
        *p_attr = mask;
    }
    log.writeLog(20, "Object::deserialize(): attr %u (%s)", mask, toBitString(mask).c_str());
    for (const unsigned int attribute : RECORD_ORDER) {
        if ((mask & attribute) == 0) {
            continue;
        }
        if (readAttribute(*p_is, attribute, mask) == -1) {
            return -1;
        }
        // A record cut short applies nothing past the cut.
        if (!p_is->good()) {
            break;
        }
        if (attribute != EVENTS) {
            logAttribute(attribute);
        }
    }
    m_modified = 0;
    log.writeLog(20, "Object::deserialize(): done checking all types.");
    return checkStream(name, *p_is);
}

int Object::readAttribute(std::istream& is, unsigned int attribute, unsigned int mask) {
    std::int32_t number = 0;
    bool flag = false;
    float real = 0.0f;
    Vector vector;
    switch (attribute) {
        case ID:
            if (readInt32(is, number)) {
                takeId(number);
            }
            break;
        case ACTIVE:
            if (readBool(is, flag)) {
                setActive(flag);
            }
            break;
        case VISIBLE:
            if (readBool(is, flag)) {
                setVisible(flag);
            }
            break;
        case EVENTS:
            return readEvents(is);
        case BOX: {
            Box box;
            if (box.deserialize(&is) == 0) {
                setBox(box);
            }
            break;
        }
        case POSITION:
            if (vector.deserialize(&is) == 0) {
                setPosition(vector);
            }
            break;
        case TYPE:
            return readType(is);
        case ANIMATION:
            readAnimation(is, (mask & BOX) != 0);
            break;
        case ALTITUDE:
            if (readInt32(is, number)) {
                setAltitude(number);
            }
            break;
        case SOLIDNESS:
            if (readInt32(is, number)) {
                setSolidness(static_cast<Solidness>(number));
            }
            break;
        case NO_SOFT:
            if (readBool(is, flag)) {
                setNoSoft(flag);
            }
            break;
        case DIRECTION:
            if (vector.deserialize(&is) == 0) {
                setDirection(vector);
            }
            break;
        case SPEED:
            if (readFloat(is, real)) {
                setSpeed(real);
            }
            break;
        case ACCELERATION:
            if (vector.deserialize(&is) == 0) {
                setAcceleration(vector);
            }
            break;
        case SHAPE: {
            Shape shape = m_shape;
            if (shape.deserialize(&is) == 0) {
                setShape(shape);
            }
            break;
        }
        case FOLLOW_PATH:
            if (readBool(is, flag)) {
                setFollowPath(flag);
            }
            break;
        case PATH: {
            Path path;
            if (path.deserialize(&is) == 0) {
                setPath(std::move(path));
            }
            break;
        }
        case AVOID_COLLISIONS:
            if (readBool(is, flag)) {
                setAvoidCollisions(flag);
            }
            break;
        default:
            break;
    }
    return 0;
}

int Object::readEvents(std::istream& is) {
    const char* name = "Object::deserialize()";
    LogManager& log = LogManager::getInstance();
    std::int32_t count = 0;
    if (!readInt32(is, count)) {
        return 0;
    }
    log.writeLog(25, "\tEVENTS: %d", count);
    if (count < 0 || count > MAX_OBJ_EVENTS) {
        log.writeLog("Object::deserialize(): Error! Event count %d not in range [0,%d].", count,
                     MAX_OBJ_EVENTS);
        is.setstate(std::ios::failbit);
        return -1;
    }
    // Every label is read before the interests change, so a record that
    // breaks off leaves the object's interests as they were.
    std::vector<std::string> labels;
    for (int i = 0; i < count; i++) {
        std::uint64_t length = 0;
        if (!readUint64(is, length)) {
            return 0;
        }
        log.writeLog(25, "\t\tsize %llu", static_cast<unsigned long long>(length));
        if (length > MAX_LABEL_BYTES) {
            return refuseLength(is, name, length);
        }
        std::string label;
        if (!readBytes(is, length, label)) {
            return 0;
        }
        log.writeLog(25, "\t\t%s (size %zu)", label.c_str(), label.size());
        labels.push_back(std::move(label));
    }
    dropInterests();
    // A label twice in the record is registered twice, as two calls of
    // registerInterest would: its manager warns and the object holds it twice.
    for (const std::string& label : labels) {
        if (registerInterest(label) == -1) {
            log.writeLog("Object::deserialize(): Error! Register interest: %s", label.c_str());
        }
    }
    return 0;
}

void Object::dropInterests() {
    while (!m_events.empty()) {
        // A label held twice is known once to its manager: the copy left once
        // the manager has let go of it is dropped here.
        if (unregisterInterest(m_events.back()) == -1) {
            m_events.pop_back();
            mark(EVENTS);
        }
    }
}

int Object::readType(std::istream& is) {
    std::uint64_t length = 0;
    if (!readUint64(is, length)) {
        return 0;
    }
    if (length > MAX_TYPE_BYTES) {
        return refuseLength(is, "Object::deserialize()", length);
    }
    std::string type;
    if (readBytes(is, length, type)) {
        setType(std::move(type));
    }
    return 0;
}

void Object::readAnimation(std::istream& is, bool keep_box) {
    Animation animation;
    if (animation.deserialize(&is) != 0) {
        return;
    }
    const Box box = m_box;
    setAnimation(animation);
    if (!animation.getName().empty()) {
        // setSprite starts the sprite from its first frame; the record's
        // place in the animation is put back afterwards.
        setSprite(animation.getName());
        Animation restored = m_animation;
        restored.setIndex(animation.getIndex());
        restored.setSlowdownCount(animation.getSlowdownCount());
        setAnimation(restored);
    }
    // The animation's box would overwrite a box sent in the same record.
    if (keep_box) {
        setBox(box);
    }
}

void Object::takeId(int id) {
    if (id == m_id) {
        return;
    }
    if (id == INT_MAX) {
        LogManager::getInstance().writeLog(
            "Object::deserialize(): Error! Id %d leaves no id for the next object. Ignored.", id);
        return;
    }
    if (id >= next_id) {
        next_id = id + 1;
    }
    m_id = id;
    mark(ID);
}

}  // namespace ox
