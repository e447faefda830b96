#pragma once

#include <iosfwd>
#include <string>

#include "Vector.h"

namespace ox {

/// An axis-aligned rectangle in world cells: upper-left corner and extents.
/// It covers the closed intervals [x, x + horizontal] and [y, y + vertical].
class Box {
public:
    /// Corner (0,0), extents 0.
    Box() = default;
    /// A box with the given corner and extents.
    Box(Vector init_corner, float init_horizontal, float init_vertical);

    /// Upper-left corner.
    Vector getCorner() const { return m_corner; }
    /// Sets the upper-left corner.
    void setCorner(Vector new_corner) { m_corner = new_corner; }
    /// Width in cells.
    float getHorizontal() const { return m_horizontal; }
    /// Sets the width in cells.
    void setHorizontal(float new_horizontal) { m_horizontal = new_horizontal; }
    /// Height in cells.
    float getVertical() const { return m_vertical; }
    /// Sets the height in cells.
    void setVertical(float new_vertical) { m_vertical = new_vertical; }

    /// Corners equal and both extents exactly equal.
    bool operator==(const Box& other) const;
    /// Negation of operator==.
    bool operator!=(const Box& other) const;

    /// Text form, as in "(-0.5,-0.5) h: 0.99 v: 0.99".
    std::string toString() const;

    /// Writes the corner's vector form, then the extents as floats (16
    /// bytes); the stream check's result.
    int serialize(std::ostream* p_os) const;
    /// Reads corner and extents; the box is kept when the stream ends first.
    /// The stream check's result.
    int deserialize(std::istream* p_is);

private:
    Vector m_corner;
    float m_horizontal = 0.0f;
    float m_vertical = 0.0f;
};

}  // namespace ox
