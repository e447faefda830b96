#include "Object.h"

#include <climits>
#include <istream>
#include <memory>
#include <ostream>
#include <type_traits>
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

// Binary form, reading and log text of one record attribute, by its type.
void writeField(std::ostream& os, bool value) {
    writeBool(os, value);
}
void writeField(std::ostream& os, int value) {
    writeInt32(os, value);
}
void writeField(std::ostream& os, float value) {
    writeFloat(os, value);
}
void writeField(std::ostream& os, const std::string& value) {
    writeString(os, value);
}
template <typename T>
void writeField(std::ostream& os, const T& value) {
    value.serialize(&os);
}

bool readField(std::istream& is, bool& value) {
    return readBool(is, value);
}
bool readField(std::istream& is, int& value) {
    return readInt32(is, value);
}
bool readField(std::istream& is, float& value) {
    return readFloat(is, value);
}
template <typename T>
bool readField(std::istream& is, T& value) {
    return value.deserialize(&is) == 0;
}

void logField(const char* name, bool value) {
    LogManager::getInstance().writeLog(25, "\t%s: %s", name, boolText(value));
}
void logField(const char* name, int value) {
    LogManager::getInstance().writeLog(25, "\t%s: %d", name, value);
}
void logField(const char* name, float value) {
    LogManager::getInstance().writeLog(25, "\t%s: %f", name, static_cast<double>(value));
}
void logField(const char* name, const std::string& value) {
    LogManager::getInstance().writeLog(25, "\t%s: %s", name, value.c_str());
}
template <typename T>
void logField(const char* name, const T& value) {
    logField(name, value.toString());
}

/// Reads a value, starting from start, and applies it when it arrived whole. 0.
template <typename T, typename Apply>
int readThen(std::istream& is, Apply apply, T start = T()) {
    if (readField(is, start)) {
        apply(std::move(start));
    }
    return 0;
}

/// The manager that delivers events of a label: the world manager for every
/// label no other manager sends. Every interest goes through here.
Manager& managerFor(const std::string& event_type) {
    if (event_type == STEP_EVENT) {
        return GameManager::getInstance();
    }
    if (event_type == KEYBOARD_EVENT || event_type == MOUSE_EVENT) {
        return InputManager::getInstance();
    }
    if (EventNetwork::isNetworkLabel(event_type)) {
        return NetworkManager::getInstance();
    }
    return WorldManager::getInstance();
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
    if (managerFor(event_type).registerInterest(this, event_type) == -1) {
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
    if (managerFor(event_type).unregisterInterest(this, event_type) == -1) {
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
    if (p_path_event->getStatus() == PathFind::FOUND) {
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
    auto p_path_find = std::make_unique<PathFind>(this, PathFind::cellAt(m_position),
                                                  PathFind::cellAt(goal), p_target);
    // Without a node grid (a world of no whole cell) the search is still run,
    // to fail and be reported like any other.
    if (p_path_find->hasNodes() && !(p_path_find->contains(p_path_find->getStart()) &&
                                     p_path_find->contains(p_path_find->getGoal()))) {
        LogManager::getInstance().writeLog(
            "Object::findPath(): Error! Position %s or goal %s is outside the world.",
            m_position.toString().c_str(), goal.toString().c_str());
        return -1;
    }
    if (PathManager::getInstance().insert(p_path_find.get()) != 0) {
        return -1;
    }
    m_p_path_find = std::move(p_path_find);
    return 0;
}

void Object::dropPathFind() {
    if (m_p_path_find == nullptr) {
        return;
    }
    PathManager::getInstance().remove(m_p_path_find.get());
    m_p_path_find.reset();
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

/// A record attribute held in FIELD and applied through SETTER.
template <auto FIELD, auto SETTER>
Object::RecordField Object::plainField(unsigned int bit, const char* name) {
    using Value =
        std::remove_cv_t<std::remove_reference_t<decltype(std::declval<Object&>().*FIELD)>>;
    return {bit, name, [](Object& o, std::ostream& os) { writeField(os, o.*FIELD); },
            [](Object& o, std::istream& is, unsigned int) {
                return readThen<Value>(is, [&](Value v) { (o.*SETTER)(std::move(v)); });
            },
            [](const Object& o, const char* field_name) { logField(field_name, o.*FIELD); }};
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
    const bool logging = log.getLogLevel() >= 25;
    for (const RecordField& field : recordFields()) {
        if ((mask & field.bit) != 0) {
            field.write(*this, *p_os);
            m_modified &= ~field.bit;
            if (logging) {
                field.log(*this, field.name);
            }
        }
    }
    return checkStream(name, *p_os);
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
    const bool logging = log.getLogLevel() >= 25;
    for (const RecordField& field : recordFields()) {
        if ((mask & field.bit) == 0) {
            continue;
        }
        if (field.read(*this, *p_is, mask) == -1) {
            return -1;
        }
        // A record cut short applies nothing past the cut.
        if (!p_is->good()) {
            break;
        }
        // The event labels are logged as they are read.
        if (logging && field.bit != EVENTS) {
            field.log(*this, field.name);
        }
    }
    m_modified = 0;
    log.writeLog(20, "Object::deserialize(): done checking all types.");
    return checkStream(name, *p_is);
}

const std::vector<Object::RecordField>& Object::recordFields() {
    // DIRECTION comes before SPEED and FOLLOW_PATH before PATH, the reverse
    // of their bit order.
    static const std::vector<RecordField> fields = {
        {ID, "ID", [](Object& o, std::ostream& os) { writeField(os, o.m_id); },
         [](Object& o, std::istream& is, unsigned int) {
             return readThen<int>(is, [&](int id) { o.takeId(id); });
         },
         [](const Object& o, const char* name) { logField(name, o.m_id); }},
        plainField<&Object::m_active, &Object::setActive>(ACTIVE, "ACTIVE"),
        plainField<&Object::m_visible, &Object::setVisible>(VISIBLE, "VISIBLE"),
        {EVENTS, "EVENTS",
         [](Object& o, std::ostream& os) {
             writeInt32(os, o.getEventCount());
             for (const std::string& label : o.m_events) {
                 writeString(os, label);
             }
         },
         [](Object& o, std::istream& is, unsigned int) { return o.readEvents(is); },
         [](const Object& o, const char* name) {
             logField(name, o.getEventCount());
             for (const std::string& label : o.m_events) {
                 LogManager::getInstance().writeLog(25, "\t\t%s (size %zu)", label.c_str(),
                                                    label.size());
             }
         }},
        plainField<&Object::m_box, &Object::setBox>(BOX, "BOX"),
        plainField<&Object::m_position, &Object::setPosition>(POSITION, "POSITION"),
        {TYPE, "TYPE", [](Object& o, std::ostream& os) { writeField(os, o.m_type); },
         [](Object& o, std::istream& is, unsigned int) { return o.readType(is); },
         [](const Object& o, const char* name) { logField(name, o.m_type); }},
        {ANIMATION, "ANIMATION",
         [](Object& o, std::ostream& os) {
             writeField(os, o.m_animation);
             o.m_animation.setModified(false);
         },
         [](Object& o, std::istream& is, unsigned int mask) {
             o.readAnimation(is, (mask & BOX) != 0);
             return 0;
         },
         [](const Object& o, const char* name) { logField(name, o.m_animation); }},
        plainField<&Object::m_altitude, &Object::setAltitude>(ALTITUDE, "ALTITUDE"),
        {SOLIDNESS, "SOLIDNESS",
         [](Object& o, std::ostream& os) { writeField(os, static_cast<int>(o.m_solidness)); },
         [](Object& o, std::istream& is, unsigned int) {
             return readThen<int>(is, [&](int n) { o.setSolidness(static_cast<Solidness>(n)); });
         },
         [](const Object& o, const char* name) {
             logField(name, solidnessToString(o.m_solidness));
         }},
        plainField<&Object::m_no_soft, &Object::setNoSoft>(NO_SOFT, "NO_SOFT"),
        plainField<&Object::m_direction, &Object::setDirection>(DIRECTION, "DIRECTION"),
        plainField<&Object::m_speed, &Object::setSpeed>(SPEED, "SPEED"),
        plainField<&Object::m_acceleration, &Object::setAcceleration>(ACCELERATION, "ACCELERATION"),
        // A shape record leaves the fields it omits as they are.
        {SHAPE, "SHAPE", [](Object& o, std::ostream& os) { writeField(os, o.m_shape); },
         [](Object& o, std::istream& is, unsigned int) {
             return readThen<Shape>(
                 is, [&](Shape s) { o.setShape(std::move(s)); }, o.m_shape);
         },
         [](const Object& o, const char* name) { logField(name, o.m_shape); }},
        plainField<&Object::m_follow_path, &Object::setFollowPath>(FOLLOW_PATH, "FOLLOW_PATH"),
        plainField<&Object::m_path, &Object::setPath>(PATH, "PATH"),
        plainField<&Object::m_avoid_collisions, &Object::setAvoidCollisions>(AVOID_COLLISIONS,
                                                                             "AVOID_COLLISIONS"),
    };
    return fields;
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
