// The smallest game: a star crosses the window and the game ends when it
// leaves the world. Built against the installed engine (find_package(Orvix)).
#include <cstdio>

#include <orvix/DisplayManager.h>
#include <orvix/EventOut.h>
#include <orvix/GameManager.h>
#include <orvix/Object.h>

class Star : public ox::Object {
public:
    Star() {
        setPosition(ox::Vector(0, 12));
        setVelocity(ox::Vector(1, 0));  // one cell a step
    }
    int draw() override {
        return ox::DisplayManager::getInstance().drawCh(getPosition(), '*', ox::YELLOW, 0);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::OUT_EVENT) {
            return 0;
        }
        ox::GameManager::getInstance().setGameOver();
        return 1;
    }
};

int main() {
    ox::GameManager& game = ox::GameManager::getInstance();
    if (game.startUp() != 0) {
        game.shutDown();
        return 1;
    }
    new Star;  // the world owns it
    game.run();
    std::printf("The star crossed the window in %d steps.\n", game.getStepCount());
    game.shutDown();
    return 0;
}
