#pragma once

#include "Object.h"

/// The visible hit line across the four lanes, on its row below the middle. Spectral:
/// notes fall through it, and the hit test does not look at it.
class line : public ox::Object {
public:
    /// Shows the "line" sprite centred at (H/2, V/2 + lanes::HIT_LINE_ROW), type "Line".
    line();
};
