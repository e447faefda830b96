// Notes against the hit test and the out strip, moved by the world manager
// one step at a time and hit with keyboard events through the input manager.

#include <gtest/gtest.h>

#include <map>

#include "GameKit.h"
#include "GameStart.h"
#include "Note.h"
#include "ScoreBoard.h"
#include "WorldManager.h"
#include "line.h"
#include "loadResources.h"

namespace {

using game_test::sendKey;

const std::string SOUND_PLAYED = "Sound::play(): Playing sound.";

void moveAll(int steps) {
    for (int i = 0; i < steps; i++) {
        ox::WorldManager::getInstance().update();
    }
}

int alive(const std::string& type) {
    return ox::WorldManager::getInstance().getSceneGraph().objectsOfType(type).getCount();
}

class NoteField : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_game.started());
        loadResources();
        m_p_board = new ScoreBoard;
    }

    game_test::HeadlessGame m_game;
    ScoreBoard* m_p_board = nullptr;
};

TEST_F(NoteField, LaneKeyScoresTwentyInThePerfectWindowAndTenInTheGoodOne) {
    // One snare note per count of moves from its start on row 2, each hit
    // with a release of C (the action is not looked at).
    std::map<int, int> scored;
    for (int moves = 0; moves <= 80; moves++) {
        Note* p_note = new Note('c');
        moveAll(moves);
        EXPECT_FLOAT_EQ(p_note->getPosition().getY(), 2.0f + 0.25f * moves);
        const int before = m_p_board->getValue();
        sendKey(ox::Keyboard::C, ox::KEY_RELEASED);
        if (m_p_board->getValue() != before) {
            scored[moves] = m_p_board->getValue() - before;
            EXPECT_TRUE(p_note->isHit());
        } else {
            ox::WorldManager::getInstance().markForDelete(p_note);
        }
        moveAll(1);
        ASSERT_EQ(alive("note"), 0) << "after " << moves << " moves";
    }
    // Rows 16.25 to 17.0 and 18.0 to 18.75 are good, 17.25 to 17.75 perfect:
    // row 17.0, on the line, is only good.
    const std::map<int, int> expected = {{57, 10}, {58, 10}, {59, 10}, {60, 10}, {61, 20}, {62, 20},
                                         {63, 20}, {64, 10}, {65, 10}, {66, 10}, {67, 10}};
    EXPECT_EQ(scored, expected);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 11);
}

TEST_F(NoteField, OtherKeysAndSecondHitsChangeNothing) {
    Note* p_note = new Note('c');
    moveAll(62);
    for (ox::Keyboard::Key other : {ox::Keyboard::Z, ox::Keyboard::X, ox::Keyboard::V,
                                    ox::Keyboard::P, ox::Keyboard::UNDEFINED_KEY}) {
        sendKey(other, ox::KEY_PRESSED);
    }
    EXPECT_FALSE(p_note->isHit());
    EXPECT_EQ(m_p_board->getValue(), 0);

    // Pressed, held and released in one step: scored once.
    sendKey(ox::Keyboard::C, ox::KEY_PRESSED);
    sendKey(ox::Keyboard::C, ox::KEY_DOWN);
    sendKey(ox::Keyboard::C, ox::KEY_RELEASED);
    EXPECT_EQ(m_p_board->getValue(), 20);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 1);
    moveAll(1);
    EXPECT_EQ(alive("note"), 0);
}

TEST_F(NoteField, NoteOneRowBehindIsHeldAStepAndOneKeyScoresBoth) {
    // The chart's bass notes of entries 1182 and 1186: four steps, one row,
    // apart. Their boxes touch when the second would move, and the first,
    // hard, holds it back one step.
    Note* p_first = new Note('z');
    moveAll(4);
    Note* p_second = new Note('z');
    moveAll(58);
    EXPECT_FLOAT_EQ(p_first->getPosition().getY(), 17.5f);
    EXPECT_FLOAT_EQ(p_second->getPosition().getY(), 16.25f);

    sendKey(ox::Keyboard::Z, ox::KEY_PRESSED);
    EXPECT_TRUE(p_first->isHit());
    EXPECT_TRUE(p_second->isHit());
    EXPECT_EQ(m_p_board->getValue(), 30);
    EXPECT_EQ(m_game.log().count(SOUND_PLAYED), 2);
}

TEST(NoteGeometry, LanesLineAndWindowsFollowTheDisplaysCellsInWholeNumbers) {
    // 101 x 31 cells: H/2 is 50 and V/2 is 15, both truncated.
    game_test::HeadlessGame game("window_horizontal_chars:101,\nwindow_vertical_chars:31,\n");
    ASSERT_TRUE(game.started());
    loadResources();
    ScoreBoard* p_board = new ScoreBoard;
    GameStart* p_start = new GameStart;
    p_start->start();

    const ox::SceneGraph& scene = ox::WorldManager::getInstance().getSceneGraph();
    ASSERT_EQ(scene.objectsOfType("Line").getCount(), 1);
    EXPECT_EQ(scene.objectsOfType("Line")[0]->getPosition(), ox::Vector(50, 20));
    ASSERT_EQ(scene.objectsOfType("out").getCount(), 1);
    const ox::Object* p_out = scene.objectsOfType("out")[0];
    EXPECT_EQ(p_out->getBox(), ox::Box(ox::Vector(0, 23), 101, 2));
    EXPECT_EQ(p_out->getPosition(), ox::Vector(1, 1));

    const std::map<char, float> columns = {{'z', 33}, {'x', 45}, {'c', 56}, {'v', 68}};
    for (const auto& [key, column] : columns) {
        EXPECT_EQ((new Note(key))->getPosition(), ox::Vector(column, 2)) << key;
    }
    moveAll(1);

    // Perfect from row 20 to 21, good from 19 to 22, all strict.
    const std::map<float, int> points_at_row = {{19.0f, 0},   {19.25f, 10}, {20.0f, 10},
                                                {20.25f, 20}, {20.75f, 20}, {21.0f, 10},
                                                {21.75f, 10}, {22.0f, 0}};
    for (const auto& [row, points] : points_at_row) {
        Note* p_note = new Note('v');
        p_note->setPosition(ox::Vector(68, row));
        const int before = p_board->getValue();
        sendKey(ox::Keyboard::V, ox::KEY_PRESSED);
        EXPECT_EQ(p_board->getValue() - before, points) << "row " << row;
        ox::WorldManager::getInstance().markForDelete(p_note);
        moveAll(1);
    }
}

}  // namespace
