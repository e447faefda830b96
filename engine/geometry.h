#pragma once

#include "Box.h"
#include "Object.h"
#include "Vector.h"

// The box tests and world boxes are defined here, inline: every collision
// query runs them once per object it looks at.

namespace ox {

/// True when the closed intervals [a, a + a_extent] and [b, b + b_extent] overlap.
inline bool intervalsOverlap(float a, float a_extent, float b, float b_extent) {
    return (b <= a && a <= b + b_extent) || (a <= b && b <= a + a_extent);
}

/// True when the boxes overlap on both axes; touching edges count as overlap.
inline bool boxIntersectsBox(const Box& a, const Box& b) {
    const Vector a_corner = a.getCorner();
    const Vector b_corner = b.getCorner();
    return intervalsOverlap(a_corner.getX(), a.getHorizontal(), b_corner.getX(),
                            b.getHorizontal()) &&
           intervalsOverlap(a_corner.getY(), a.getVertical(), b_corner.getY(), b.getVertical());
}

/// True when p lies in b, edges included.
inline bool boxContainsPosition(const Box& b, const Vector& p) {
    const Vector corner = b.getCorner();
    return corner.getX() <= p.getX() && p.getX() <= corner.getX() + b.getHorizontal() &&
           corner.getY() <= p.getY() && p.getY() <= corner.getY() + b.getVertical();
}

/// The box the object would have in world coordinates if it stood at where.
inline Box getWorldBox(const Object* p_o, Vector where) {
    Box box = p_o->getBox();
    const Vector corner = box.getCorner();
    box.setCorner(Vector(corner.getX() + where.getX(), corner.getY() + where.getY()));
    return box;
}

/// The object's box in world coordinates (moved by its position).
inline Box getWorldBox(const Object* p_o) {
    return getWorldBox(p_o, p_o->getPosition());
}

/// The side of p_o2 that p_o1, moving with its velocity, runs into: a vector
/// with components in {-1, 0, 1}; (0,0) (logged at level 1) when they do not meet.
Vector getNormal(const Object* p_o1, const Object* p_o2);

}  // namespace ox
