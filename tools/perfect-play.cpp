// A player with a clock instead of ears: presses P, then the lane key of every
// note of the game's own chart at the P press + (entry + steps to the middle
// of the perfect window) frame times. The presses go, each at an absolute
// deadline, P's too, as "key" commands to one xdotool reading its commands
// from a pipe: no program starts per press, and the time a command takes to
// reach the X server shifts every press alike. The commands go to standard
// output, which tools/perfect-play.sh pipes into that xdotool, so that the
// player runs wherever the game does (under Wine too). Runs in the game's
// working directory (for its configuration); tools/perfect-play.sh starts
// both. An argument of N presses the lane keys N ms earlier than that. Prints
// how late the presses were sent on standard error.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "Conductor.h"
#include "Config.h"
#include "Lanes.h"
#include "Note.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

/// One key press due at a time after the P press.
struct Press {
    Clock::duration due;
    char key;
};

/// Steps from the step that reads P to the one that should read a note's key
/// when the note is in the middle of its perfect window: the chart's entry 0
/// plays on the step after P's, and a note falls from START_ROW to the middle
/// of the window below the centre row, in the steps this returns less one.
int stepsToPerfect(int rows) {
    const float middle =
        static_cast<float>(rows / 2) + (lanes::PERFECT_FROM + lanes::PERFECT_TO) / 2;
    return 1 + static_cast<int>((middle - Note::START_ROW) / Note::ROWS_PER_STEP);
}

/// Every note of the chart as a press after P.
std::vector<Press> schedule(std::chrono::milliseconds frame_time, int rows) {
    std::vector<Press> presses;
    const int ahead = stepsToPerfect(rows);
    for (int entry = 0; entry <= Conductor::GAME_OVER_STEP; entry++) {
        const int action = static_cast<int>(Conductor::chartAction(entry));
        const int lane = action - static_cast<int>(ChartAction::NOTE_LANE_0);
        if (lane >= 0 && lane < lanes::COUNT) {
            presses.push_back(
                {(entry + ahead) * frame_time, lanes::LANES[static_cast<std::size_t>(lane)].key});
        }
    }
    return presses;
}

/// How late the presses were sent, in milliseconds.
struct Timing {
    double late_max = 0;
    double late_sum = 0;
    int count = 0;
};

/// Sends "key --delay 0 KEY" to xdotool at the time given (at once when it has
/// passed): press and release together, as one stroke of a drum, so that the
/// release never reaches the game a step after its press. False when the pipe
/// refused it.
bool pressAt(std::FILE* p_xdotool, Clock::time_point due, char key, Timing& timing) {
    std::this_thread::sleep_until(due);
    const double late = Ms(Clock::now() - due).count();
    const bool ok =
        std::fprintf(p_xdotool, "key --delay 0 %c\n", key) > 0 && std::fflush(p_xdotool) == 0;
    timing.late_max = std::max(timing.late_max, late);
    timing.late_sum += late;
    timing.count++;
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::chrono::milliseconds early(argc > 1 ? std::atoi(argv[1]) : 0);
    ox::Config& config = ox::Config::getInstance();
    config.loadConfig("");
    const std::chrono::milliseconds frame_time(config.getFrameTime());
    const std::vector<Press> presses = schedule(frame_time, config.getWindowVerticalChars());
    if (presses.size() != static_cast<std::size_t>(Conductor::NOTE_COUNT)) {
        std::fprintf(stderr, "perfect-play: Error! %zu notes in the chart, not %d.\n",
                     presses.size(), Conductor::NOTE_COUNT);
        return 1;
    }
    std::FILE* p_xdotool = stdout;
    // xdotool starts and reaches the X server before the first press, which
    // would otherwise arrive later than the others by that time.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Timing timing;
    const Clock::time_point p_press = Clock::now();
    bool ok = pressAt(p_xdotool, p_press, 'p', timing);
    for (const Press& press : presses) {
        ok = pressAt(p_xdotool, p_press + press.due - early, press.key, timing) && ok;
    }
    std::fprintf(
        stderr,
        "perfect-play: P and %d notes at P + (entry + %d) x %d ms - %d ms; sent late by at most "
        "%.1f ms (mean %.1f)%s\n",
        timing.count - 1, stepsToPerfect(config.getWindowVerticalChars()),
        static_cast<int>(frame_time.count()), static_cast<int>(early.count()), timing.late_max,
        timing.late_sum / timing.count, ok ? "" : "; xdotool failed");
    return ok ? 0 : 1;
}
