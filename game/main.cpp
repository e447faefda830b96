// The rhythm game: a start screen, then one song of 181 notes on four drum
// lanes. Prints the final score when the program ends.

#include <cstdio>

#include "Conductor.h"
#include "GameManager.h"
#include "GameStart.h"
#include "LogManager.h"
#include "Note.h"
#include "ScoreBoard.h"
#include "Splash.h"
#include "loadResources.h"

int main(int /*argc*/, char* /*argv*/[]) {
    ox::GameManager& game_manager = ox::GameManager::getInstance();
    ox::LogManager& log_manager = ox::LogManager::getInstance();
    if (game_manager.startUp() != 0) {
        log_manager.writeLog("Error starting game manager!");
        game_manager.shutDown();
        std::fprintf(stderr, "Error starting game manager!\n");
        return 1;
    }
    log_manager.setFlush(true);
    log_manager.setLogLevel(5);
    ox::splash();
    loadResources();
    new GameStart;
    game_manager.run();
    // The score board belongs to the world, which the shut-down empties.
    const int score = currentScore();
    game_manager.shutDown();
    std::printf("Score: %d of %d\n", score, Conductor::NOTE_COUNT * Note::PERFECT_POINTS);
    return 0;
}
