// The start screen and the whole song, headless at frame time 0, played
// through the input manager from the start screen's P to game over.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "Conductor.h"
#include "EventStep.h"
#include "GameKit.h"
#include "GameManager.h"
#include "GameStart.h"
#include "Music.h"
#include "Note.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "ScoreBoard.h"
#include "WorldKit.h"
#include "WorldManager.h"
#include "loadResources.h"

namespace {

using game_test::Player;
using game_test::tapKey;

const std::string SOUND_PLAYED = "Sound::play(): Playing sound.";

class Song : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_game.started());
        loadResources();
        // Every sprite and sound of the run directory loads.
        EXPECT_FALSE(m_game.log().containsPart("Error!")) << m_game.log().text();
        m_p_game_start = new GameStart;
        m_p_player = new Player(m_p_game_start);
    }

    /// Presses P on the first step, follows the plan during the song, and
    /// runs the loop to game over.
    void play(const std::function<void(Player&)>& during_song) {
        m_p_player->plan = [during_song](Player& player, int step) {
            if (step == 0) {
                tapKey(ox::Keyboard::P);
            } else if (player.entry() >= 0) {
                during_song(player);
            }
        };
        ox::GameManager::getInstance().run();
    }

    static int alive(const std::string& type) {
        return ox::WorldManager::getInstance().getSceneGraph().objectsOfType(type).getCount();
    }

    /// Chart entry of a log line's step.
    int entryOf(int step) const { return step - m_p_player->first_song_step; }

    game_test::HeadlessGame m_game;
    GameStart* m_p_game_start = nullptr;
    Player* m_p_player = nullptr;
};

TEST_F(Song, PerfectPlayScoresEveryNoteAtTwenty) {
    play([](Player& player) { player.playPerfectly(); });

    EXPECT_EQ(currentScore(), 3620);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 181);
    EXPECT_EQ(alive("note"), 0);
}

TEST_F(Song, UntouchedChartMakesItsNotesTheStripTakesThemAndTheMusicFollowsTheEntries) {
    play([](Player&) {});
    EXPECT_EQ(currentScore(), 0);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 0);
    EXPECT_EQ(alive("note"), 0);

    // 181 notes, each at the top of its lane on its entry.
    std::map<char, std::vector<int>> by_lane;
    for (const auto& [id, note] : m_p_player->notes) {
        by_lane[note.key].push_back(note.created);
        EXPECT_EQ(note.column, Note::laneColumn(note.key, 80)) << "note " << id;
        EXPECT_EQ(note.first_row, 2.0f) << "note " << id;
    }
    EXPECT_EQ(m_p_player->notes.size(), 181u);
    // The chart as written, lane by lane: the count of entries, their sum and
    // the sum of their squares (any moved note shows).
    const std::map<char, std::array<long, 3>> written = {
        {'z', {54, 38329, 37975971}}, {'x', {73, 68509, 75818679}}, {'c', {53, 52674, 55373168}}};
    for (const auto& [lane, expected] : written) {
        std::array<long, 3> got{};
        for (long entry : by_lane[lane]) {
            got = {got[0] + 1, got[1] + entry, got[2] + entry * entry};
        }
        EXPECT_EQ(got, expected) << lane;
    }
    EXPECT_EQ(by_lane['v'], std::vector<int>({532}));

    // The music starts on entry 0 and stops on entry 1608; entry 1682 ends
    // the game, so the song took 1683 step events.
    const std::vector<int> starts = m_game.stepsOf("Music::play(): Playing music.");
    const std::vector<int> stops = m_game.stepsOf("Music::stop(): Stopping music.");
    ASSERT_EQ(starts.size(), 1u);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(entryOf(starts[0]), 0);
    EXPECT_EQ(entryOf(stops[0]), 1608);
    EXPECT_EQ(m_p_player->song_steps, 1683);
    for (const int outside : {-1, Conductor::GAME_OVER_STEP + 1}) {
        EXPECT_EQ(Conductor::chartAction(outside), ChartAction::NONE);
    }
    EXPECT_EQ(ox::GameManager::getInstance().getStepCount(), m_p_player->first_song_step + 1683);

    // Each note was last seen one move above the out strip (its box then
    // ends on row 20.75) and was gone after its 74th move; the bass note of
    // 1186, held back one step by the note ahead of it, a step later.
    std::set<int> held;
    for (const auto& [id, note] : m_p_player->notes) {
        EXPECT_EQ(note.last_row, 20.25f) << "note " << id;
        if (note.gone - note.created != 74) {
            EXPECT_EQ(note.gone - note.created, 75) << "note " << id;
            held.insert(note.created);
        }
    }
    EXPECT_EQ(held, std::set<int>({1186}));
}

TEST_F(Song, PressedTwiceAndHeldThePStartsTheSongOnce) {
    m_p_player->plan = [](Player&, int step) {
        if (step == 0) {
            tapKey(ox::Keyboard::P);
            tapKey(ox::Keyboard::P);
        } else if (step < 4) {
            game_test::sendKey(ox::Keyboard::P, ox::KEY_DOWN);
        } else if (step == 6) {
            tapKey(ox::Keyboard::Q);
        }
    };
    ox::GameManager::getInstance().run();

    EXPECT_TRUE(m_p_game_start->isStarted());
    for (const char* type : {"button", "Line", "out", "ViewObject"}) {
        EXPECT_EQ(alive(type), 1) << type;
    }
    EXPECT_EQ(m_game.log().count("Music::play(): Playing music."), 1);
    // Entries 0 to 5 ran, in steps 1 to 6; Q ended the loop after step 6.
    EXPECT_EQ(m_p_game_start->getConductor()->getStepCount(), 6);
    EXPECT_EQ(ox::GameManager::getInstance().getStepCount(), 7);
}

TEST(StartScreen, SongPlaysToItsEndWithoutSpritesOrSounds) {
    game_test::HeadlessGame game;
    ASSERT_TRUE(game.started());
    // Nothing loaded: every object stays bare and nothing sounds.
    GameStart* p_start = new GameStart;
    Player* p_player = new Player(p_start);
    p_player->plan = [](Player& player, int step) {
        if (step == 0) {
            tapKey(ox::Keyboard::P);
        } else {
            player.playPerfectly();
        }
    };
    ox::GameManager::getInstance().run();

    EXPECT_TRUE(game.log().contains("Object::setSprite(): Warning! Sprite 'note' not found"));
    EXPECT_TRUE(game.log().contains("Object::setSprite(): Warning! Sprite 'line' not found"));
    EXPECT_EQ(p_start->getConductor()->getStepCount(), Conductor::GAME_OVER_STEP + 1);
    EXPECT_EQ(p_player->notes.size(), 181u);
    // Every note was scored near the line; none fell to the strip.
    for (const auto& [id, note] : p_player->notes) {
        EXPECT_LT(note.last_row, 19.0f) << "note " << id;
        EXPECT_GE(note.gone, 0) << "note " << id;
    }
    EXPECT_GE(currentScore(), 181 * 10);
    EXPECT_FALSE(game.log().containsPart("Playing"));
}

// Simulated time: the clock moves only when a step works or the loop sleeps,
// so the steps run far ahead of the music, which plays in real time.
std::int64_t g_now = 0;

/// Runs the loop at 33 ms a frame with a conductor that step 0 sets playing
/// after working work_us, so the music starts on step 1, as late as step 0
/// overran its frame. Ends after step 1 unless whole; the music's playing
/// offset as step 1 saw it.
std::int64_t playStartedLate(std::int64_t work_us, bool whole) {
    loadResources();
    ox::platform::setTimeSource([] { return g_now; }, [](std::int64_t us) { g_now += us; });
    auto* p_conductor = new Conductor;
    auto* p_lag = new ox_test::Recorder(ox::Vector(1, 1), ox::SPECTRAL);
    p_lag->registerInterest(ox::STEP_EVENT);
    std::int64_t offset_us = -1;
    p_lag->reaction = [&](ox_test::Recorder&, const ox::Event* p_e) {
        const int step = static_cast<const ox::EventStep*>(p_e)->getStepCount();
        if (step == 0) {
            g_now += work_us;
            p_conductor->startPlaying();
        } else if (step == 1) {
            offset_us = ox::ResourceManager::getInstance()
                            .getMusic("backing")
                            ->getMusic()
                            ->getPlayingOffset()
                            .asMicroseconds();
            ox::GameManager::getInstance().setGameOver(!whole);
        }
    };
    ox::GameManager::getInstance().run();
    ox::platform::setTimeSource(nullptr, nullptr);
    return offset_us;
}

TEST(SongStart, MusicStartedOnALateStepStartsAsFarIn) {
    // On time, late by parts of a frame, and by several frames.
    for (const std::int64_t late_us : {0, 2500, 12500, 32500, 167000}) {
        game_test::HeadlessGame game("frame_time:33,\n");
        ASSERT_TRUE(game.started());
        const std::int64_t offset_us = playStartedLate(late_us > 0 ? 33000 + late_us : 0, false);
        EXPECT_GE(offset_us, late_us - 50);  // to the sample
        EXPECT_LT(offset_us, late_us + 50000);
    }
}

// The steps run ahead of the music: its clock falls further behind the
// chart with every entry, the most on the last entry it plays.
TEST(SongStart, TheDriftLineTellsAMusicBehindTheChartAsBehind) {
    game_test::HeadlessGame game("frame_time:33,\n");
    ASSERT_TRUE(game.started());
    playStartedLate(0, true);
    int music = 0, entry = 0, entry_ms = 0, steps_ms = 0, real_ms = 0, drift = 0;
    int largest = 0, largest_entry = 0;
    int fields = 0;
    for (const std::string& line : game.log().messages()) {
        fields = std::max(
            fields, std::sscanf(line.c_str(),
                                "Conductor::playStep(): Music stops at %d ms of music, entry %d "
                                "(%d ms), %d ms of steps, %d ms of real time: drift %d ms, "
                                "largest %d ms at entry %d.",
                                &music, &entry, &entry_ms, &steps_ms, &real_ms, &drift, &largest,
                                &largest_entry));
    }
    ASSERT_EQ(fields, 8) << game.log().text();
    EXPECT_EQ(entry, Conductor::MUSIC_STOP_STEP);
    EXPECT_EQ(entry_ms, Conductor::MUSIC_STOP_STEP * 33);
    // The steps counted from the one that started the music, not the game's.
    EXPECT_EQ(steps_ms, (Conductor::MUSIC_STOP_STEP - Conductor::MUSIC_START_STEP) * 33);
    EXPECT_EQ(drift, music - entry_ms);
    EXPECT_LT(drift, -40000);
    EXPECT_EQ(largest_entry, Conductor::MUSIC_STOP_STEP - 1);
    EXPECT_NEAR(largest, drift + 33, 50);
}

}  // namespace
