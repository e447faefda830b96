// The whole song, headless and at full speed (frame time 0), as a player at
// the keyboard would play it: keys go through the input manager while the
// game loop runs, from the start screen's P to the conductor's game over.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Conductor.h"
#include "GameKit.h"
#include "GameManager.h"
#include "GameStart.h"
#include "Note.h"
#include "ScoreBoard.h"
#include "WorldManager.h"
#include "loadResources.h"

namespace {

using game_test::Player;

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
                game_test::tapKey(ox::Keyboard::P);
            } else if (player.entry() >= 0) {
                during_song(player);
            }
        };
        ox::GameManager::getInstance().run();
    }

    int notesAlive() const {
        return ox::WorldManager::getInstance().getSceneGraph().objectsOfType("note").getCount();
    }

    /// Chart entry of a log line's step.
    int entryOf(int step) const { return step - m_p_player->firstSongStep(); }

    game_test::HeadlessGame m_game;
    GameStart* m_p_game_start = nullptr;
    Player* m_p_player = nullptr;
};

TEST_F(Song, PerfectPlayScoresEveryNoteAtTwenty) {
    play([](Player& player) { player.playPerfectly(); });

    EXPECT_EQ(currentScore(), 3620);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 181);
    EXPECT_EQ(notesAlive(), 0);
}

TEST_F(Song, UntouchedChartMakesItsNotesTheStripTakesThemAndTheMusicFollowsTheEntries) {
    play([](Player&) {});
    EXPECT_EQ(currentScore(), 0);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 0);
    EXPECT_EQ(notesAlive(), 0);

    // 181 notes, each at the top of its lane on its entry.
    std::map<char, std::vector<int>> by_lane;
    for (const auto& [id, note] : m_p_player->notes()) {
        by_lane[note.key].push_back(note.created);
        EXPECT_EQ(note.column, Note::laneColumn(note.key, 80)) << "note " << id;
        EXPECT_EQ(note.first_row, 2.0f) << "note " << id;
    }
    EXPECT_EQ(m_p_player->notes().size(), 181u);
    EXPECT_EQ(by_lane['z'].size(), 54u);
    EXPECT_EQ(by_lane['x'].size(), 73u);
    EXPECT_EQ(by_lane['c'].size(), 53u);
    EXPECT_EQ(by_lane['v'], std::vector<int>({532}));
    // The song as it was written down, lane by lane.
    EXPECT_EQ(by_lane['z'],
              std::vector<int>({132,  145,  157,  170,  182,  195,  207,  220,  232,  245,  257,
                                270,  282,  295,  307,  320,  332,  343,  351,  382,  401,  420,
                                432,  451,  470,  501,  520,  551,  651,  807,  813,  820,  907,
                                913,  1032, 1051, 1070, 1076, 1082, 1101, 1182, 1186, 1195, 1201,
                                1232, 1238, 1245, 1251, 1351, 1357, 1395, 1451, 1457, 1495}));
    EXPECT_EQ(by_lane['x'],
              std::vector<int>({338,  345,  357,  363,  376,  388,  394,  407,  413,  426,  438,
                                445,  457,  463,  476,  488,  507,  513,  526,  570,  582,  595,
                                601,  607,  613,  620,  632,  670,  682,  732,  832,  932,  957,
                                982,  988,  995,  1013, 1045, 1057, 1095, 1107, 1132, 1138, 1145,
                                1151, 1157, 1163, 1170, 1220, 1270, 1276, 1282, 1288, 1295, 1301,
                                1307, 1313, 1332, 1338, 1369, 1376, 1382, 1407, 1413, 1419, 1432,
                                1438, 1470, 1476, 1482, 1507, 1513, 1520}));
    EXPECT_EQ(by_lane['c'],
              std::vector<int>({695,  701,  707,  713,  720,  738,  745,  751,  757,  763,  770,
                                776,  782,  788,  801,  838,  845,  851,  857,  863,  870,  876,
                                882,  888,  895,  901,  938,  945,  951,  963,  970,  976,  1001,
                                1007, 1020, 1036, 1063, 1088, 1113, 1176, 1207, 1213, 1257, 1263,
                                1320, 1345, 1363, 1388, 1401, 1445, 1463, 1488, 1501}));

    // The music starts on entry 0 and stops on entry 1608; entry 1682 ends
    // the game, so the song took 1683 step events.
    const std::vector<int> starts = m_game.stepsOf("Music::play(): Playing music.");
    const std::vector<int> stops = m_game.stepsOf("Music::stop(): Stopping music.");
    ASSERT_EQ(starts.size(), 1u);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(entryOf(starts[0]), 0);
    EXPECT_EQ(entryOf(stops[0]), 1608);
    EXPECT_EQ(m_p_player->songSteps(), 1683);
    EXPECT_EQ(ox::GameManager::getInstance().getStepCount(), m_p_player->firstSongStep() + 1683);

    // Each note was last seen one move above the out strip (its box then
    // ends on row 20.75) and was gone after its 74th move; the bass note of
    // 1186, held back one step by the note ahead of it, a step later.
    std::set<int> held;
    for (const auto& [id, note] : m_p_player->notes()) {
        EXPECT_EQ(note.last_row, 20.25f) << "note " << id;
        if (note.gone - note.created != 74) {
            EXPECT_EQ(note.gone - note.created, 75) << "note " << id;
            held.insert(note.created);
        }
    }
    EXPECT_EQ(held, std::set<int>({1186}));
}

TEST_F(Song, HoldingAllFourKeysScoresEveryNoteAtTen) {
    play([](Player&) {
        for (ox::Keyboard::Key key :
             {ox::Keyboard::Z, ox::Keyboard::X, ox::Keyboard::C, ox::Keyboard::V}) {
            game_test::sendKey(key, ox::KEY_DOWN);
        }
    });

    EXPECT_EQ(currentScore(), 1810);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 181);
    EXPECT_EQ(notesAlive(), 0);
}

}  // namespace
