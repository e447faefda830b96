// The start screen in the game loop: P starts the song once, and a game
// without its data files still plays.

#include <gtest/gtest.h>

#include "Conductor.h"
#include "GameKit.h"
#include "GameManager.h"
#include "GameStart.h"
#include "ScoreBoard.h"
#include "WorldManager.h"
#include "loadResources.h"

namespace {

using game_test::Player;
using game_test::tapKey;

int alive(const std::string& type) {
    return ox::WorldManager::getInstance().getSceneGraph().objectsOfType(type).getCount();
}

TEST(StartScreen, PressedTwiceAndHeldThePStartsTheSongOnce) {
    game_test::HeadlessGame game;
    ASSERT_TRUE(game.started());
    loadResources();
    GameStart* p_start = new GameStart;
    Player* p_player = new Player(p_start);
    p_player->plan = [](Player&, int step) {
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

    EXPECT_TRUE(p_start->isStarted());
    for (const char* type : {"button", "Line", "out", "ViewObject"}) {
        EXPECT_EQ(alive(type), 1) << type;
    }
    EXPECT_EQ(game.log().count("Music::play(): Playing music."), 1);
    // Entries 0 to 5 ran, in steps 1 to 6; Q ended the loop after step 6.
    EXPECT_EQ(p_start->getConductor()->getStepCount(), 6);
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
    EXPECT_EQ(p_player->notes().size(), 181u);
    // Every note was scored near the line; none fell to the strip.
    for (const auto& [id, note] : p_player->notes()) {
        EXPECT_LT(note.last_row, 19.0f) << "note " << id;
        EXPECT_GE(note.gone, 0) << "note " << id;
    }
    EXPECT_GE(currentScore(), 181 * 10);
    EXPECT_FALSE(game.log().containsPart("Playing"));
}

}  // namespace
