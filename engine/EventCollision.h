#pragma once

#include "Event.h"
#include "Vector.h"

namespace ox {

class Object;

/// Label of the collision event.
inline const std::string COLLISION_EVENT = "ox-collision";

/// Two objects have collided; the world manager sends the same event to both.
class EventCollision : public Event {
public:
    /// A collision with no objects at (0,0).
    EventCollision();
    /// A collision of the moving object p_o1 with p_o2 at the place p_o1 tried to go.
    EventCollision(Object* p_o1, Object* p_o2, Vector where);

    /// The object that was moving.
    Object* getObject1() const { return m_p_obj1; }
    /// Sets the object that was moving.
    void setObject1(Object* p_new_o1) { m_p_obj1 = p_new_o1; }
    /// The object it ran into.
    Object* getObject2() const { return m_p_obj2; }
    /// Sets the object it ran into.
    void setObject2(Object* p_new_o2) { m_p_obj2 = p_new_o2; }
    /// Where the collision happens: where the moving object tried to go.
    Vector getPosition() const { return m_pos; }
    /// Sets where the collision happens.
    void setPosition(Vector new_pos) { m_pos = new_pos; }

private:
    Vector m_pos;                ///< Where the moving object tried to go.
    Object* m_p_obj1 = nullptr;  ///< The moving object (not owned).
    Object* m_p_obj2 = nullptr;  ///< The object run into (not owned).
};

}  // namespace ox
