#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "Color.h"
#include "Object.h"

namespace ox {

class Sprite;

/// Shows the start-up splash: creates a Splash and runs the game loop until
/// the splash ends it (game over is left set). 0, or -1 when the game manager
/// is not started.
int splash();

/// A sprite built in code: every frame is given as its rows, each padded with
/// spaces on the right to the width (or cut to it). An empty label leaves the
/// sprite's default one, as does the slowdown. The caller owns the result.
Sprite* buildSprite(int width, int height, Color color, const std::string& label,
                    std::initializer_list<std::vector<std::string>> frames);

/// The ending shared by the splash objects. When the game is over, marks the
/// object for deletion and gives 0; for a key, also sets game over and gives
/// key_result. -1 when the object carries on with the event.
int endSplashObject(Object* p_o, const Event* p_e, int key_result);

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
    int m_countdown;     ///< Steps left before the banner stops.
    Sprite* m_p_sprite;  ///< The banner sprite (owned).
};

}  // namespace ox
