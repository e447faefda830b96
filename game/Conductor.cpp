#include "Conductor.h"

#include <algorithm>
#include <cstdlib>

#include "Chart.h"
#include "Event.h"
#include "EventStep.h"
#include "GameManager.h"
#include "Lanes.h"
#include "LogManager.h"
#include "Music.h"
#include "Note.h"
#include "ResourceManager.h"

namespace {

/// One action per step, from step 0 to the last.
using Chart = std::array<ChartAction, Conductor::GAME_OVER_STEP + 1>;

/// True when the steps rise strictly and fall between the music's start and stop.
template <std::size_t N>
constexpr bool inSongOrder(const std::array<int, N>& steps) {
    int previous = Conductor::MUSIC_START_STEP;
    for (int step : steps) {
        if (step <= previous || step >= Conductor::MUSIC_STOP_STEP) {
            return false;
        }
        previous = step;
    }
    return true;
}

template <std::size_t N>
constexpr void placeNotes(Chart& chart, const std::array<int, N>& steps, ChartAction action) {
    for (int step : steps) {
        chart[static_cast<std::size_t>(step)] = action;
    }
}

/// The step-indexed table: the music's start and stop, game over, and the notes.
constexpr Chart buildChart() {
    Chart chart{};
    chart[Conductor::MUSIC_START_STEP] = ChartAction::START_MUSIC;
    chart[Conductor::MUSIC_STOP_STEP] = ChartAction::STOP_MUSIC;
    chart[Conductor::GAME_OVER_STEP] = ChartAction::GAME_OVER;
    placeNotes(chart, chart::BASS_STEPS, ChartAction::NOTE_LANE_0);
    placeNotes(chart, chart::TOM_STEPS, ChartAction::NOTE_LANE_1);
    placeNotes(chart, chart::SNARE_STEPS, ChartAction::NOTE_LANE_2);
    placeNotes(chart, chart::CYMBAL_STEPS, ChartAction::NOTE_LANE_3);
    return chart;
}

constexpr Chart CHART = buildChart();

constexpr bool isNote(ChartAction action) {
    return action >= ChartAction::NOTE_LANE_0 && action <= ChartAction::NOTE_LANE_3;
}

constexpr int noteCount(const Chart& chart) {
    int count = 0;
    for (ChartAction action : chart) {
        count += isNote(action) ? 1 : 0;
    }
    return count;
}

// Every list in order inside the song, and no two notes on one step (a shared
// step would leave fewer notes in the table than in the lists).
static_assert(inSongOrder(chart::BASS_STEPS) && inSongOrder(chart::TOM_STEPS) &&
              inSongOrder(chart::SNARE_STEPS) && inSongOrder(chart::CYMBAL_STEPS));
static_assert(chart::BASS_STEPS.size() + chart::TOM_STEPS.size() + chart::SNARE_STEPS.size() +
                  chart::CYMBAL_STEPS.size() ==
              Conductor::NOTE_COUNT);
static_assert(noteCount(CHART) == Conductor::NOTE_COUNT);

}  // namespace

Conductor::Conductor()
    : m_step_count(0),
      m_playing(false),
      m_p_music(nullptr),
      m_music_loops(0),
      m_last_offset(0),
      m_largest_drift(0),
      m_largest_drift_entry(0),
      m_music_start_step(0) {
    registerInterest(ox::STEP_EVENT);
    m_p_music = ox::ResourceManager::getInstance().getMusic("backing");
}

int Conductor::eventHandler(const ox::Event* p_e) {
    if (p_e->getType() == ox::STEP_EVENT && m_playing) {
        playStep();
        m_step_count++;
        trackDrift();
    }
    return 0;
}

void Conductor::startMusicOnSchedule() {
    // The steps after a late one run early until the loop is back on its
    // schedule; music started on a late step would stay behind them.
    const std::int64_t late_us = ox::GameManager::getInstance().getStepLateness();
    if (late_us > 0) {
        m_p_music->getMusic()->setPlayingOffset(sf::microseconds(late_us));
    }
}

bool Conductor::musicPlays() const {
    return m_p_music != nullptr && m_p_music->getMusic()->getStatus() == sf::Music::Status::Playing;
}

void Conductor::playStep() {
    const ChartAction action = chartAction(m_step_count);
    switch (action) {
        case ChartAction::START_MUSIC:
            if (m_p_music != nullptr) {
                m_music_clock.delta();
                m_music_start_step = ox::GameManager::getInstance().getStepCount();
                m_p_music->play(true);
                startMusicOnSchedule();
            }
            break;
        case ChartAction::NOTE_LANE_0:
        case ChartAction::NOTE_LANE_1:
        case ChartAction::NOTE_LANE_2:
        case ChartAction::NOTE_LANE_3:
            new Note(lanes::LANES[static_cast<std::size_t>(action) -
                                  static_cast<std::size_t>(ChartAction::NOTE_LANE_0)]
                         .key);
            break;
        case ChartAction::STOP_MUSIC:
            if (m_p_music != nullptr) {
                logDrift();
                m_p_music->stop();
            }
            break;
        case ChartAction::GAME_OVER:
            ox::GameManager::getInstance().setGameOver(true);
            break;
        case ChartAction::NONE:
            break;
    }
}

void Conductor::startPlaying() {
    m_playing = true;
}

int Conductor::musicTime() {
    if (m_p_music == nullptr) {
        return -1;
    }
    const sf::Music& music = *m_p_music->getMusic();
    const int duration = music.getDuration().asMilliseconds();
    const int offset = music.getPlayingOffset().asMilliseconds();
    // A looping music's offset falls back to its start on every loop.
    if (offset < m_last_offset - duration / 2) {
        m_music_loops++;
    }
    m_last_offset = offset;
    return m_music_loops * duration + offset;
}

void Conductor::trackDrift() {
    if (!musicPlays()) {
        return;
    }
    const int entry = m_step_count - 1;
    const int drift = musicTime() - entry * ox::GameManager::getInstance().getFrameTime();
    if (std::abs(drift) > std::abs(m_largest_drift)) {
        m_largest_drift = drift;
        m_largest_drift_entry = entry;
    }
}

void Conductor::logDrift() {
    const int frame_time = ox::GameManager::getInstance().getFrameTime();
    const int music_time = musicTime();
    const int steps = ox::GameManager::getInstance().getStepCount() - m_music_start_step;
    ox::LogManager::getInstance().writeLog(
        5,
        "Conductor::playStep(): Music stops at %d ms of music, entry %d (%d ms), %d ms of steps, "
        "%d ms of real time: drift %d ms, largest %d ms at entry %d.",
        music_time, m_step_count, m_step_count * frame_time, steps * frame_time,
        static_cast<int>(m_music_clock.split() / 1000), music_time - m_step_count * frame_time,
        m_largest_drift, m_largest_drift_entry);
}

ChartAction Conductor::chartAction(int step) {
    if (step < 0 || step >= static_cast<int>(CHART.size())) {
        return ChartAction::NONE;
    }
    return CHART[static_cast<std::size_t>(step)];
}
