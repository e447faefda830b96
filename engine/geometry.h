#pragma once

#include "Box.h"
#include "Vector.h"

namespace ox {

class Object;

/// True when the boxes overlap on both axes; touching edges count as overlap.
bool boxIntersectsBox(const Box& a, const Box& b);

/// True when p lies in b, edges included.
bool boxContainsPosition(const Box& b, const Vector& p);

/// The object's box in world coordinates (moved by its position).
Box getWorldBox(const Object* p_o);

/// The box the object would have in world coordinates if it stood at where.
Box getWorldBox(const Object* p_o, Vector where);

/// The side of p_o2 that p_o1, moving with its velocity, runs into: a vector
/// with components in {-1, 0, 1}; (0,0) (logged at level 1) when they do not meet.
Vector getNormal(const Object* p_o1, const Object* p_o2);

}  // namespace ox
