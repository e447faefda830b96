#pragma once

#include "Event.h"

namespace ox {

/// Label of the step event the game loop sends at the start of every step.
inline const std::string STEP_EVENT = "ox-step";

/// One step of the game loop has begun.
class EventStep : public Event {
public:
    /// A step event carrying the given step count (0 for a loop's first step).
    explicit EventStep(int step_count = 0);

    /// Sets the step count.
    void setStepCount(int new_step_count);

    /// The game manager's step count when the step began.
    int getStepCount() const;

private:
    int m_step_count;  ///< Step count when the step began.
};

}  // namespace ox
