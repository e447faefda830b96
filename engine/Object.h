#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "Animation.h"
#include "Box.h"
#include "Path.h"
#include "Shape.h"
#include "Vector.h"

namespace ox {

class Event;
class PathFind;
class SceneGraph;

/// How an object takes part in collisions.
enum Solidness : int {
    HARD = 0,      ///< collides; stops and is stopped by other HARD objects
    SOFT = 1,      ///< collides but neither stops nor is stopped
    SPECTRAL = 2,  ///< never collides
};

/// Bits of the modified mask: which attributes changed since the mask was cleared.
enum ObjectAttribute : unsigned int {
    ID = 0x1,
    ACTIVE = 0x2,
    VISIBLE = 0x4,
    EVENTS = 0x8,
    BOX = 0x10,
    POSITION = 0x20,
    TYPE = 0x40,
    ANIMATION = 0x80,
    ALTITUDE = 0x100,
    SOLIDNESS = 0x200,
    NO_SOFT = 0x400,
    SPEED = 0x800,
    DIRECTION = 0x1000,
    ACCELERATION = 0x2000,
    SHAPE = 0x4000,
    PATH = 0x8000,
    FOLLOW_PATH = 0x10000,
    AVOID_COLLISIONS = 0x20000,
};

/// Every attribute bit of an object: the mask of a new object.
const unsigned int ALL_OBJECT_ATTRIBUTES = 0x3ffff;
/// Highest drawing layer; layers run from 0 (drawn first) to this.
const int MAX_ALTITUDE = 4;
/// Most event labels one object may register for.
const int MAX_OBJ_EVENTS = 100;

/// The base class of every game object. The constructor inserts the object into
/// the world manager and the destructor removes it; objects in the world are
/// deleted only by the world manager (markForDelete, or its shut-down).
///
/// A game object overrides draw and eventHandler, and registers for the events
/// that managers deliver to those who ask (collision and out events come to
/// every object):
/// \code
/// class Star : public ox::Object {
/// public:
///     Star() {
///         setPosition(ox::Vector(0, 12));
///         setVelocity(ox::Vector(1, 0));  // the world moves it a cell a step
///         registerInterest(ox::KEYBOARD_EVENT);
///     }
///     int draw() override {
///         return ox::DisplayManager::getInstance().drawCh(getPosition(), '*', ox::YELLOW, 0);
///     }
///     int eventHandler(const ox::Event* p_e) override {
///         if (p_e->getType() == ox::OUT_EVENT) {
///             ox::WorldManager::getInstance().markForDelete(this);
///             return 1;
///         }
///         return Object::eventHandler(p_e);  // takes a path that findPath found
///     }
/// };
/// \endcode
class Object {
public:
    /// Takes the next id, marks every attribute modified and joins the world.
    Object();
    /// Unregisters every interest and leaves the world.
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    /// Sets the game-defined type name (the scene graph indexes by it).
    virtual void setType(std::string new_type);
    /// Moves the object without collision checks; 0.
    virtual int setPosition(Vector new_position);
    /// Handles an event; non-zero when handled. The default takes "ox-path".
    virtual int eventHandler(const Event* p_e);
    /// Sets HARD, SOFT or SPECTRAL; 0, or -1 when refused.
    virtual int setSolidness(Solidness new_solid);
    /// Slide along HARD obstacles instead of stopping.
    virtual void setAvoidCollisions(bool avoid = true);
    /// Sets the drawing layer, 0 to MAX_ALTITUDE; 0, or -1 when refused.
    virtual int setAltitude(int new_altitude);
    /// Sets the direction of motion, normalized.
    virtual void setDirection(Vector new_direction);
    /// Sets speed (the magnitude) and direction (normalized) from a velocity.
    virtual void setVelocity(Vector new_velocity);
    /// Sets the vector added to the velocity after each step.
    virtual void setAcceleration(Vector new_acceleration);
    /// True when the object is to be drawn (while active).
    virtual bool isVisible() const;
    /// Activates or deactivates; 0, or -1 when refused.
    virtual int setActive(bool active = true);
    /// Sets the box relative to the position; the result of re-indexing.
    virtual int setBox(Box new_box);
    /// Shows the resource manager's sprite of this label from its first frame
    /// and takes the sprite's box; 0, or -1 when no sprite has the label.
    virtual int setSprite(std::string sprite_label);
    /// Copies every field of an animation; with set_box, takes its box too.
    virtual void setAnimation(Animation new_animation, bool set_box = true);
    /// Draws the animation at the position (advancing it), then the shape
    /// when it has a type; the animation's result.
    virtual int draw();
    /// Writes one record: a 32-bit mask M (attr, or the modified mask when
    /// attr is 0), then each attribute named in M in the record's fixed
    /// order, clearing its modified bit. The stream check's result.
    virtual int serialize(std::ostream* p_os, unsigned int attr = 0);
    /// Reads one record and applies it through the setters, then clears the
    /// modified mask; stores the record's mask in *p_attr when not null. The
    /// stream check's result, or -1 at once when a length or count in the
    /// record is refused (what was applied before stays).
    virtual int deserialize(std::istream* p_is, unsigned int* p_attr = nullptr);
    /// Replaces the whole modified mask.
    virtual void setModified(unsigned int new_modified);
    /// The modified mask.
    virtual unsigned int getModified() const;
    /// Copies a shape (type UNDEFINED_SHAPE draws none).
    virtual void setShape(Shape new_shape);
    /// Starts or stops following the path.
    virtual void setFollowPath(bool follow = true);
    /// True for an object placed on the screen rather than in the world,
    /// which is drawn wherever the view is. False for a world object.
    virtual bool isOnScreen() const { return false; }

    /// Unique identifier.
    int getId() const { return m_id; }
    /// Game-defined type name.
    std::string getType() const { return m_type; }
    /// Inactive objects are neither moved, collided nor drawn.
    bool isActive() const { return m_active; }
    /// Shows or hides the object; 0, or -1 when refused.
    int setVisible(bool visible = true);
    /// Box relative to the position.
    Box getBox() const { return m_box; }
    /// World position in cells.
    Vector getPosition() const { return m_position; }
    /// Unit direction of motion.
    Vector getDirection() const { return m_direction; }
    /// Cells per step along the direction.
    float getSpeed() const { return m_speed; }
    /// Sets the cells per step along the direction.
    void setSpeed(float new_speed);
    /// The sprite playback state.
    Animation getAnimation() const { return m_animation; }
    /// The primitive drawn with the animation.
    Shape getShape() const { return m_shape; }
    /// Direction scaled by speed.
    Vector getVelocity() const;
    /// Added to the velocity after each step.
    Vector getAcceleration() const { return m_acceleration; }
    /// Where one step of motion would take the object.
    Vector predictPosition() const;
    /// Drawing layer.
    int getAltitude() const { return m_altitude; }
    /// HARD, SOFT or SPECTRAL.
    Solidness getSolidness() const { return m_solidness; }
    /// HARD or SOFT.
    bool isSolid() const;
    /// True when a SOFT object in the way stops this object.
    bool getNoSoft() const { return m_no_soft; }
    /// Lets a SOFT object in the way stop this object.
    void setNoSoft(bool no_soft = true);
    /// True when the object slides along HARD obstacles.
    bool getAvoidCollisions() const { return m_avoid_collisions; }
    /// The waypoints being followed.
    Path getPath() const { return m_path; }
    /// Copies a path (waypoints and current index).
    void setPath(Path new_path);
    /// True while the path is being followed.
    bool getFollowPath() const { return m_follow_path; }
    /// Starts a search for a path from the object's cell to the goal's cell
    /// (positions rounded to whole cells), dropping any search in progress.
    /// The outcome arrives as an "ox-path" event. 0, or -1 when not started.
    int findPath(Vector goal);
    /// Starts a search for a path to the target's cell that also ends where
    /// this object's box touches the target's. 0, or -1 when not started.
    int findPath(Object* p_target);
    /// The search in progress, or null.
    PathFind* getPathFind() const { return m_p_path_find.get(); }
    /// True when any attribute is marked modified.
    bool isModified() const { return m_modified != 0; }

    /// Registers interest in events of a label with the manager that sends them; 0 or -1.
    int registerInterest(std::string event_type);
    /// Withdraws a registered interest; 0 or -1.
    int unregisterInterest(std::string event_type);
    /// Number of registered event labels.
    int getEventCount() const { return static_cast<int>(m_events.size()); }
    /// The registered label at index (registration order), or "" out of range.
    std::string getEventName(int index) const;

    /// Steers along the path; called by the world manager after motion.
    void followPath();
    /// Adds the acceleration to the velocity; called by the world manager after motion.
    void accelerate();

    /// True when the world manager took the object in at construction.
    bool isInWorld() const { return m_in_world; }
    /// Text form of a solidness for log lines: "hard", "soft", "spectral" or "undefined".
    static std::string solidnessToString(int solidness);

private:
    /// Sets an attribute's bit in the modified mask.
    void mark(unsigned int attribute) { m_modified |= attribute; }
    /// Points the direction at a waypoint.
    void steerTo(Vector waypoint);
    /// The scene graph that indexes this object, or null when it is not in the world.
    SceneGraph* worldIndex() const;
    /// Builds a search toward goal (and p_target, when set) and hands it to
    /// the path manager; 0 or -1.
    int startPathFind(Vector goal, Object* p_target);
    /// Takes the search in progress out of the path manager and deletes it.
    void dropPathFind();

    /// One attribute of a record: its bit and name, how it is written, how it
    /// is read and applied (0, or -1 when a length or count is refused), and
    /// its log line at level 25.
    struct RecordField {
        unsigned int bit;
        const char* name;
        void (*write)(Object& object, std::ostream& os);
        int (*read)(Object& object, std::istream& is, unsigned int mask);
        void (*log)(const Object& object, const char* name);
    };
    /// The attributes of a record, in the order they are written.
    static const std::vector<RecordField>& recordFields();
    /// The row of an attribute held in FIELD and applied through SETTER.
    template <auto FIELD, auto SETTER>
    static RecordField plainField(unsigned int bit, const char* name);
    /// Reads the event labels and, once all arrived, replaces the interests with them.
    int readEvents(std::istream& is);
    /// Reads the type and applies it; -1 when its length is refused.
    int readType(std::istream& is);
    /// Reads an animation and applies it, finding its sprite by name. With
    /// keep_box (the record carries a box), the box applied before stands.
    void readAnimation(std::istream& is, bool keep_box);
    /// Takes an id read from a record, raising the id counter above it.
    void takeId(int id);
    /// Unregisters every interest, a label held twice included.
    void dropInterests();

    // What the world's step reads of every object (and of the objects near
    // it) comes first, so that it shares as few cache lines as possible.
    int m_id;
    Solidness m_solidness;
    Box m_box;
    Vector m_position;
    Vector m_direction;
    float m_speed;
    unsigned int m_modified;
    bool m_active;
    bool m_visible;
    bool m_no_soft;
    bool m_follow_path;
    bool m_avoid_collisions;
    bool m_in_world;  ///< Taken into the world at construction.
    Vector m_acceleration;
    int m_altitude;
    std::unique_ptr<PathFind> m_p_path_find;  ///< Search in progress; null for none.
    std::string m_type;
    Animation m_animation;
    /// Registered event labels in registration order, at most MAX_OBJ_EVENTS.
    /// Held apart from the object so that the fields read every step stay close.
    std::vector<std::string> m_events;
    Shape m_shape;
    Path m_path;
};

}  // namespace ox
