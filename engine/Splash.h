#pragma once

#include <memory>

#include "Object.h"

namespace ox {

class Sprite;

/// Shows the start-up splash: creates a Splash and runs the game loop until
/// the splash ends it (game over is left set). 0, or -1 when the game manager
/// is not started.
int splash();

/// The engine's name as a large banner that slides in from the right edge of
/// the view and stops near the middle, switches to its upright lettering and
/// releases the mascot. Any key ends the splash.
class Splash : public Object {
public:
    /// Builds the banner sprite and starts moving in from just past the
    /// view's right edge, centred vertically.
    Splash();

    /// Withdraws the interests and deletes the banner sprite.
    ~Splash() override;

    /// Counts steps: stops the banner and releases the mascot after 15, marks
    /// itself for deletion after 90; a key or game over ends it at once.
    int eventHandler(const Event* p_e) override;

private:
    int m_countdown;                     ///< Steps left before the banner stops.
    std::unique_ptr<Sprite> m_p_sprite;  ///< The banner sprite.
};

}  // namespace ox
