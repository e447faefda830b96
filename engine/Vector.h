#pragma once

#include <iosfwd>
#include <string>

namespace ox {

/// A position, direction, velocity or extent in world cells; y grows downward.
class Vector {
public:
    /// The zero vector (0,0).
    Vector() = default;
    /// A vector with the given components.
    Vector(float init_x, float init_y) : m_x(init_x), m_y(init_y) {}

    /// Horizontal component.
    float getX() const { return m_x; }
    /// Vertical component.
    float getY() const { return m_y; }
    /// Sets the horizontal component.
    void setX(float new_x) { m_x = new_x; }
    /// Sets the vertical component.
    void setY(float new_y) { m_y = new_y; }
    /// Sets both components.
    void setXY(float new_x, float new_y);

    /// Length of the vector.
    float getMagnitude() const;
    /// Scales the vector to length 1; the zero vector stays (0,0).
    void normalize();
    /// Multiplies both components by s.
    void scale(float s);

    /// Component-wise sum.
    Vector operator+(const Vector& other) const;
    /// Component-wise difference.
    Vector operator-(const Vector& other) const;
    /// Adds other component-wise, in place.
    Vector& operator+=(const Vector& other);
    /// Exact comparison of both components.
    bool operator==(const Vector& other) const;
    /// Negation of operator==.
    bool operator!=(const Vector& other) const;

    /// Text form "(x,y)", as in (3,1.5).
    std::string toString() const;

    /// Writes x and y as two floats (8 bytes); the stream check's result.
    int serialize(std::ostream* p_os) const;
    /// Reads x and y; the vector is kept when the stream ends first. The
    /// stream check's result.
    int deserialize(std::istream* p_is);

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};

}  // namespace ox
