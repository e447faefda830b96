#include "geometry.h"

#include "LogManager.h"
#include "Object.h"

namespace ox {

namespace {

/// Steps of the bisection that finds where the mover first touches the obstacle.
const int NORMAL_SEARCH_STEPS = 7;

}  // namespace

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
