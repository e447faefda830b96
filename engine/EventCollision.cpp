#include "EventCollision.h"

namespace ox {

EventCollision::EventCollision() {
    setType(COLLISION_EVENT);
}

EventCollision::EventCollision(Object* p_o1, Object* p_o2, Vector where)
    : m_pos(where), m_p_obj1(p_o1), m_p_obj2(p_o2) {
    setType(COLLISION_EVENT);
}

}  // namespace ox
