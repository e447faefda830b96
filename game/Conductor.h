#pragma once

#include <array>

#include "Clock.h"
#include "Object.h"

namespace ox {
class Event;
class Music;
}  // namespace ox

/// What the song does at one step of its chart.
enum class ChartAction : unsigned char {
    NONE,         ///< nothing happens
    START_MUSIC,  ///< the backing music starts, looping
    NOTE_LANE_0,  ///< a bass note ('z') starts falling
    NOTE_LANE_1,  ///< a tom note ('x') starts falling
    NOTE_LANE_2,  ///< a snare note ('c') starts falling
    NOTE_LANE_3,  ///< a cymbal note ('v') starts falling
    STOP_MUSIC,   ///< the backing music stops
    GAME_OVER,    ///< the song is over and so is the game
};

/// Keeps the song's time in steps of the game loop and plays the chart: the
/// music on its first step, each note on its step, the music's stop and game
/// over at the end. It measures how far the music's own clock drifts from the
/// steps and logs it as the music stops. Idle until the start screen sets it
/// playing.
class Conductor : public ox::Object {
public:
    /// Notes in the chart.
    static constexpr int NOTE_COUNT = 181;
    /// Step at which the backing music starts.
    static constexpr int MUSIC_START_STEP = 0;
    /// Step at which the backing music stops.
    static constexpr int MUSIC_STOP_STEP = 1608;
    /// Step at which the game ends.
    static constexpr int GAME_OVER_STEP = 1682;

    /// Idle at step 0, registered for step events, holding the "backing" music.
    Conductor();

    /// Plays the current step of the chart on each step event while playing,
    /// then counts the step. Always 0.
    int eventHandler(const ox::Event* p_e) override;

    /// Performs the chart's action for the current step count.
    void playStep();

    /// Starts counting steps and playing the chart from the next step event.
    /// Nothing stops it: the chart itself ends the game.
    void startPlaying();
    /// True once the song runs.
    bool isPlaying() const { return m_playing; }
    /// Step events counted since the song started.
    int getStepCount() const { return m_step_count; }

    /// The chart's action at a step; NONE for steps outside the chart. A direct
    /// table lookup.
    static ChartAction chartAction(int step);

private:
    /// Moves the music just started as far in as its step started late
    /// against the game loop's schedule.
    void startMusicOnSchedule();
    /// Milliseconds of backing music played since it started, loops included,
    /// by the music's own clock; -1 without music.
    int musicTime();
    /// True while the music plays.
    bool musicPlays() const;
    /// While the music plays, compares its clock with the last entry played
    /// (its entry times the frame time) and keeps the largest difference.
    void trackDrift();
    /// Logs the music's clock against the step clock as the music stops.
    void logDrift();

    int m_step_count;           ///< Steps played since the song started.
    bool m_playing;             ///< The chart runs.
    ox::Music* m_p_music;       ///< The backing track, not owned; null when missing.
    int m_music_loops;          ///< Times the music wrapped to its start.
    int m_last_offset;          ///< Music offset at the last reading, ms.
    int m_largest_drift;        ///< Largest music minus step time so far, ms.
    int m_largest_drift_entry;  ///< The entry at which it was seen.
    ox::Clock m_music_clock;    ///< Real time since the music started.
    int m_music_start_step;     ///< The game loop's step count as the music started.
};
