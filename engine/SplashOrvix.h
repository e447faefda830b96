#pragma once

#include <memory>

#include "Object.h"
#include "Vector.h"

namespace ox {

class Sprite;

/// The splash's mascot: rises from below the view to a point beside the
/// banner flapping its wings, settles into a still figure, then ends the
/// splash. Any key ends it at once.
class SplashOrvix : public Object {
public:
    /// Starts below the view's bottom edge under the target, rising to the
    /// target's height in 30 steps.
    explicit SplashOrvix(Vector target);

    /// Withdraws the interests and deletes the sprite shown.
    ~SplashOrvix() override;

    /// Counts steps: stops at the target's height, settles 15 steps after
    /// arriving on schedule, and sets game over 30 steps after that.
    int eventHandler(const Event* p_e) override;

private:
    /// Replaces the flying sprite with the still figure, one cell to the left.
    void settle();

    Vector m_target;                     ///< Where the rise ends.
    int m_countdown;                     ///< Steps of the rise left (negative afterwards).
    std::unique_ptr<Sprite> m_p_sprite;  ///< The sprite shown.
};

}  // namespace ox
