#pragma once

#include "ViewObject.h"

/// The row of four drum pads under the lanes: a red-ringed black circle and
/// the lane's key letter for each. Drawn straight onto the window; the view
/// string and value are not shown.
class Button : public ox::ViewObject {
public:
    /// Type "button", at the top altitude, centred, no sprite.
    Button();

    /// Draws the four pads and their letters. Always 0.
    int draw() override;
};
