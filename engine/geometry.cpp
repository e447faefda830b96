#include "geometry.h"

#include "LogManager.h"
#include "Object.h"

namespace ox {

namespace {

/// Steps of the bisection that finds where the mover first touches the obstacle.
const int NORMAL_SEARCH_STEPS = 7;

/// True when the closed intervals [a, a + a_extent] and [b, b + b_extent] overlap.
bool intervalsOverlap(float a, float a_extent, float b, float b_extent) {
    return (b <= a && a <= b + b_extent) || (a <= b && b <= a + a_extent);
}

}  // namespace

bool boxIntersectsBox(const Box& a, const Box& b) {
    const Vector a_corner = a.getCorner();
    const Vector b_corner = b.getCorner();
    return intervalsOverlap(a_corner.getX(), a.getHorizontal(), b_corner.getX(),
                            b.getHorizontal()) &&
           intervalsOverlap(a_corner.getY(), a.getVertical(), b_corner.getY(), b.getVertical());
}

bool boxContainsPosition(const Box& b, const Vector& p) {
    const Vector corner = b.getCorner();
    return corner.getX() <= p.getX() && p.getX() <= corner.getX() + b.getHorizontal() &&
           corner.getY() <= p.getY() && p.getY() <= corner.getY() + b.getVertical();
}

Box getWorldBox(const Object* p_o) {
    return getWorldBox(p_o, p_o->getPosition());
}

Box getWorldBox(const Object* p_o, Vector where) {
    Box box = p_o->getBox();
    box.setCorner(box.getCorner() + where);
    return box;
}

Vector getNormal(const Object* p_o1, const Object* p_o2) {
    const Vector velocity = p_o1->getVelocity();
    const Vector start = p_o1->getPosition();
    const Box obstacle = getWorldBox(p_o2);

    // Bisect the fraction of this step's motion for the last place still clear
    // of the obstacle.
    Vector last_free = start;
    float t = 0.5f;
    float change = 1.0f;
    for (int i = 1; i <= NORMAL_SEARCH_STEPS; i++) {
        change *= 0.5f;
        Vector motion = velocity;
        motion.scale(t);
        const Vector place = start + motion;
        if (!boxIntersectsBox(getWorldBox(p_o1, place), obstacle)) {
            last_free = place;
            t += change;
        } else {
            t -= change;
        }
    }

    // Probe the eight neighbours of the obstacle, sides before corners.
    const Box mover = getWorldBox(p_o1, last_free);
    const float x = obstacle.getCorner().getX();
    const float y = obstacle.getCorner().getY();
    const float h = obstacle.getHorizontal();
    const float v = obstacle.getVertical();
    struct Probe {
        float x, y;
        Vector normal;
    };
    const Probe probes[] = {
        {x, y - v, Vector(0, -1)},      {x, y + v, Vector(0, 1)},
        {x - h, y, Vector(-1, 0)},      {x + h, y, Vector(1, 0)},
        {x - h, y - v, Vector(-1, -1)}, {x + h, y - v, Vector(1, -1)},
        {x - h, y + v, Vector(-1, 1)},  {x + h, y + v, Vector(1, 1)},
    };
    for (const Probe& probe : probes) {
        if (boxIntersectsBox(mover, Box(Vector(probe.x, probe.y), h, v))) {
            return probe.normal;
        }
    }
    LogManager::getInstance().writeLog(1, "getNormal(): No collision detected. Returning (0,0).");
    return Vector();
}

}  // namespace ox
