#include "Box.h"

#include <istream>
#include <ostream>

#include "serialization.h"
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

int Box::serialize(std::ostream* p_os) const {
    const char* name = "Box::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    m_corner.serialize(p_os);
    writeFloat(*p_os, m_horizontal);
    writeFloat(*p_os, m_vertical);
    return checkStream(name, *p_os);
}

int Box::deserialize(std::istream* p_is) {
    const char* name = "Box::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    Vector corner;
    float horizontal = 0.0f;
    float vertical = 0.0f;
    if (corner.deserialize(p_is) == 0 && readFloat(*p_is, horizontal) &&
        readFloat(*p_is, vertical)) {
        *this = Box(corner, horizontal, vertical);
    }
    return checkStream(name, *p_is);
}

}  // namespace ox
