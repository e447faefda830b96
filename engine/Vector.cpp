#include "Vector.h"

#include <cmath>

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
    return "(" + ox::toString(m_x) + "," + ox::toString(m_y) + ")";
}

}  // namespace ox
