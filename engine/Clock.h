#pragma once

#include <cstdint>

namespace ox {

/// A stopwatch with microsecond readings from the platform's monotonic clock.
class Clock {
public:
    /// Marks the current reading.
    Clock();

    /// Microseconds since the previous mark; then marks the current reading.
    std::int64_t delta();

    /// Microseconds since the previous mark; the mark is unchanged.
    std::int64_t split() const;

private:
    std::int64_t m_previous_time;  ///< Reading at the last mark, in microseconds.
};

}  // namespace ox
