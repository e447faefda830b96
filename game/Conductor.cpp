#include "Conductor.h"

#include "Chart.h"
#include "Event.h"
#include "EventStep.h"
#include "GameManager.h"
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
    : m_step_count(0), m_playing(false), m_p_music(nullptr), m_lane_keys{'z', 'x', 'c', 'v'} {
    registerInterest(ox::STEP_EVENT);
    m_p_music = ox::ResourceManager::getInstance().getMusic("backing");
}

int Conductor::eventHandler(const ox::Event* p_e) {
    if (p_e->getType() == ox::STEP_EVENT && m_playing) {
        playStep();
        m_step_count++;
    }
    return 0;
}

void Conductor::playStep() {
    const ChartAction action = chartAction(m_step_count);
    switch (action) {
        case ChartAction::START_MUSIC:
            if (m_p_music != nullptr) {
                m_p_music->play(true);
            }
            break;
        case ChartAction::NOTE_LANE_0:
        case ChartAction::NOTE_LANE_1:
        case ChartAction::NOTE_LANE_2:
        case ChartAction::NOTE_LANE_3:
            new Note(
                m_lane_keys[static_cast<int>(action) - static_cast<int>(ChartAction::NOTE_LANE_0)]);
            break;
        case ChartAction::STOP_MUSIC:
            if (m_p_music != nullptr) {
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

ChartAction Conductor::chartAction(int step) {
    if (step < 0 || step >= static_cast<int>(CHART.size())) {
        return ChartAction::NONE;
    }
    return CHART[static_cast<std::size_t>(step)];
}
