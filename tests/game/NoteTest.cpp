// Notes against the hit test and the out strip, moved by the world manager
// one step at a time and hit with keyboard events through the input manager,
// in a window of 101 x 31 cells: H/2 is 50 and V/2 is 15, both truncated.
#include <gtest/gtest.h>

#include <map>

#include "GameKit.h"
#include "GameStart.h"
#include "Note.h"
#include "ScoreBoard.h"
#include "WorldManager.h"
#include "loadResources.h"

namespace {

using game_test::sendKey;

void moveAll(int steps) {
    for (int i = 0; i < steps; i++) {
        ox::WorldManager::getInstance().update();
    }
}

TEST(Notes, LanesLineStripAndStrictWindowsFollowTheDisplaysCells) {
    game_test::HeadlessGame game("window_horizontal_chars:101,\nwindow_vertical_chars:31,\n");
    ASSERT_TRUE(game.started());
    loadResources();
    ScoreBoard* p_board = new ScoreBoard;
    (new GameStart)->start();

    const ox::SceneGraph& scene = ox::WorldManager::getInstance().getSceneGraph();
    ASSERT_EQ(scene.objectsOfType("Line").getCount(), 1);
    EXPECT_EQ(scene.objectsOfType("Line")[0]->getPosition(), ox::Vector(50, 20));
    ASSERT_EQ(scene.objectsOfType("out").getCount(), 1);
    EXPECT_EQ(scene.objectsOfType("out")[0]->getBox(), ox::Box(ox::Vector(0, 23), 101, 2));
    // Each lane's column, and its own drum.
    const std::map<char, std::pair<float, std::string>> lanes = {
        {'z', {33, "bass"}}, {'x', {45, "tom"}}, {'c', {56, "snare"}}, {'v', {68, "cymbal"}}};
    for (const auto& [key, lane] : lanes) {
        const std::string lookup = "RM::getSound(): Looking for sound '" + lane.second + "'.";
        const int looked_up = game.log().count(lookup);
        const Note* p_note = new Note(key);
        EXPECT_EQ(p_note->getPosition(), ox::Vector(lane.first, 2)) << key;
        // Drawn over the line as it passes it.
        EXPECT_GT(p_note->getAltitude(), scene.objectsOfType("Line")[0]->getAltitude()) << key;
        EXPECT_EQ(game.log().count(lookup), looked_up + 1) << key;
    }
    // A character that names no lane is said to, and its note stays in the
    // middle of the window, in no lane.
    Note* p_stray = new Note('q');
    EXPECT_TRUE(game.log().contains("Note::Note(): Error! 'q' names no lane."));
    EXPECT_EQ(p_stray->getPosition(), ox::Vector(50, 2));
    ox::WorldManager::getInstance().markForDelete(p_stray);
    moveAll(1);

    // Perfect from row 20 to 21, good from 19 to 22, all strict. Other keys
    // do nothing, and a press, hold and release in one step score once.
    const std::map<float, int> points_at_row = {{19.0f, 0},   {19.25f, 10}, {20.0f, 10},
                                                {20.25f, 20}, {20.75f, 20}, {21.0f, 10},
                                                {21.75f, 10}, {22.0f, 0}};
    for (const auto& [row, points] : points_at_row) {
        Note* p_note = new Note('v');
        p_note->setPosition(ox::Vector(68, row));
        const int before = p_board->getValue();
        for (ox::Keyboard::Key other : {ox::Keyboard::Z, ox::Keyboard::X, ox::Keyboard::C}) {
            sendKey(other, ox::KEY_PRESSED);
        }
        EXPECT_EQ(p_board->getValue(), before);
        sendKey(ox::Keyboard::V, ox::KEY_PRESSED);
        sendKey(ox::Keyboard::V, ox::KEY_DOWN);
        sendKey(ox::Keyboard::V, ox::KEY_RELEASED);
        EXPECT_EQ(p_board->getValue() - before, points) << "row " << row;
        EXPECT_EQ(p_note->isHit(), points > 0);
        ox::WorldManager::getInstance().markForDelete(p_note);
        moveAll(1);
    }
    EXPECT_EQ(game.log().count("Sound::play(): Playing sound."), 6);
}

}  // namespace
