#pragma once

#include "Object.h"

/// The invisible strip below the hit line that catches missed notes: a soft
/// box the width of the display, two rows tall, 8 rows below the centre row
/// (relative to the object's default position). Notes that touch it remove
/// themselves.
class Out : public ox::Object {
public:
    /// Type "out", soft, no sprite, the strip's box.
    Out();
};
