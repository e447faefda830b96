#include "EventStep.h"

namespace ox {

EventStep::EventStep(int step_count) : m_step_count(step_count) {
    setType(STEP_EVENT);
}

void EventStep::setStepCount(int new_step_count) {
    m_step_count = new_step_count;
}

int EventStep::getStepCount() const {
    return m_step_count;
}

}  // namespace ox
