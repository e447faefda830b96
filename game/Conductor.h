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

/// Keeps the song's time and plays the chart, one entry per frame time: the
/// music on entry 0, each note on its entry, the music's stop and game over
/// at the end, one entry a step. While the music plays, the chart follows
/// the music's own clock: while the music's lead over the chart, on average,
/// has moved more than a slack from its lead in the music's first steps,
/// each step plays one entry more (two) or one less (none). Idle until the
/// start screen sets it playing.
class Conductor : public ox::Object {
public:
    /// Number of lanes, and of lane characters.
    static constexpr int LANE_COUNT = 4;
    /// The lane characters, lane 0 to 3, which are also the lane keys.
    static constexpr std::array<char, LANE_COUNT> LANE_KEYS = {'z', 'x', 'c', 'v'};
    /// Notes in the chart.
    static constexpr int NOTE_COUNT = 181;
    /// Step at which the backing music starts.
    static constexpr int MUSIC_START_STEP = 0;
    /// Step at which the backing music stops.
    static constexpr int MUSIC_STOP_STEP = 1608;
    /// Step at which the game ends.
    static constexpr int GAME_OVER_STEP = 1682;
    /// Steps for which the music's clock may stand still and still be
    /// followed; a music that stops moving (a stalled sound device) must not
    /// stop the song.
    static constexpr int MUSIC_STALL_STEPS = 30;
    /// How far the music's clock may be from the chart's before the chart
    /// moves to it, in quarters of the frame time.
    static constexpr int MUSIC_SLACK_QUARTERS = 3;
    /// Steps over which the music's lead over the chart is averaged.
    static constexpr int MUSIC_AVERAGE_STEPS = 16;

    /// Idle at step 0, registered for step events, holding the "backing" music.
    Conductor();

    /// Plays the chart's due entries on each step event while playing,
    /// counting them. Always 0.
    int eventHandler(const ox::Event* p_e) override;

    /// Performs the chart's action for the next entry (the step count).
    void playStep();

    /// Starts counting steps and playing the chart from the next step event.
    /// Nothing stops it: the chart itself ends the game.
    void startPlaying();
    /// True once the song runs.
    bool isPlaying() const { return m_playing; }
    /// Chart entries played since the song started.
    int getStepCount() const { return m_step_count; }

    /// The chart's action at a step; NONE for steps outside the chart. A direct
    /// table lookup.
    static ChartAction chartAction(int step);

    /// Milliseconds of backing music played since it started, loops included,
    /// by the music's own clock; -1 without music. Virtual: another clock can
    /// stand in for the music's.
    virtual int musicTime();

private:
    /// Entries to play this step: one, or, when the music is followed and
    /// away from the chart, two or none.
    int dueEntries();
    /// Entries to play this step given the music's lead over the chart: one,
    /// or two or none while the lead has moved from where it started.
    int followMusic(int lead, int frame_time);
    /// True while the music plays.
    bool followsMusic() const;
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
    int m_last_music_time;      ///< The music's time at the last step, ms.
    int m_still_steps;          ///< Steps the music's time has not moved.
    float m_music_lead;         ///< The music's average lead over the chart, ms.
    int m_music_steps;          ///< Steps followed of the music, up to MUSIC_AVERAGE_STEPS.
    float m_start_lead;         ///< The music's average lead in its first steps, ms.
    int m_music_start_step;     ///< The game loop's step count as the music started.
};
