#include "Clock.h"

#include "Platform.h"

namespace ox {

Clock::Clock() : m_previous_time(platform::nowMicroseconds()) {}

std::int64_t Clock::delta() {
    const std::int64_t now = platform::nowMicroseconds();
    const std::int64_t elapsed = now - m_previous_time;
    m_previous_time = now;
    return elapsed;
}

std::int64_t Clock::split() const {
    return platform::nowMicroseconds() - m_previous_time;
}

}  // namespace ox
