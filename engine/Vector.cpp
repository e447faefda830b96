#include "Vector.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "serialization.h"
#include "utility.h"

namespace ox {

void Vector::setXY(float new_x, float new_y) {
    m_x = new_x;
    m_y = new_y;
}

float Vector::getMagnitude() const {
    return std::sqrt(m_x * m_x + m_y * m_y);
}

void Vector::normalize() {
    const float length = getMagnitude();
    if (length > 0.0f) {
        m_x /= length;
        m_y /= length;
    }
}

void Vector::scale(float s) {
    m_x *= s;
    m_y *= s;
}

Vector Vector::operator+(const Vector& other) const {
    return Vector(m_x + other.m_x, m_y + other.m_y);
}

Vector Vector::operator-(const Vector& other) const {
    return Vector(m_x - other.m_x, m_y - other.m_y);
}

Vector& Vector::operator+=(const Vector& other) {
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

bool Vector::operator==(const Vector& other) const {
    return m_x == other.m_x && m_y == other.m_y;
}

bool Vector::operator!=(const Vector& other) const {
    return !(*this == other);
}

std::string Vector::toString() const {
    std::string text(1, '(');
    text.append(ox::toString(m_x)).append(1, ',').append(ox::toString(m_y)).append(1, ')');
    return text;
}

int Vector::serialize(std::ostream* p_os) const {
    const char* name = "Vector::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    writeFloat(*p_os, m_x);
    writeFloat(*p_os, m_y);
    return checkStream(name, *p_os);
}

int Vector::deserialize(std::istream* p_is) {
    const char* name = "Vector::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    float x = 0.0f;
    float y = 0.0f;
    if (readFloat(*p_is, x) && readFloat(*p_is, y)) {
        setXY(x, y);
    }
    return checkStream(name, *p_is);
}

}  // namespace ox
