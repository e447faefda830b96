#include "Box.h"

#include "utility.h"

namespace ox {

Box::Box(Vector init_corner, float init_horizontal, float init_vertical)
    : m_corner(init_corner), m_horizontal(init_horizontal), m_vertical(init_vertical) {}

bool Box::operator==(const Box& other) const {
    return m_corner == other.m_corner && m_horizontal == other.m_horizontal &&
           m_vertical == other.m_vertical;
}

bool Box::operator!=(const Box& other) const {
    return !(*this == other);
}

std::string Box::toString() const {
    return m_corner.toString() + " h: " + ox::toString(m_horizontal) +
           " v: " + ox::toString(m_vertical);
}

}  // namespace ox
