// Tutorial step 1: a window, the game loop, and an object that the left and
// right arrow keys move. Q quits.
#include <orvix/DisplayManager.h>
#include <orvix/EventKeyboard.h>
#include <orvix/GameManager.h>
#include <orvix/Object.h>

class Player : public ox::Object {
public:
    Player() {
        setPosition(ox::Vector(40, 12));       // the middle of an 80 x 24 window
        registerInterest(ox::KEYBOARD_EVENT);  // the input manager sends key events
    }
    int draw() override {
        return ox::DisplayManager::getInstance().drawCh(getPosition(), '@', ox::YELLOW, 0);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::KEYBOARD_EVENT) {
            return 0;
        }
        auto* p_key = static_cast<const ox::EventKeyboard*>(p_e);
        if (p_key->getKeyboardAction() == ox::KEY_RELEASED) {
            return 0;
        }
        if (p_key->getKey() == ox::Keyboard::Q) {
            ox::GameManager::getInstance().setGameOver();
        } else if (p_key->getKey() == ox::Keyboard::LEFTARROW) {
            setPosition(getPosition() + ox::Vector(-1, 0));
        } else if (p_key->getKey() == ox::Keyboard::RIGHTARROW) {
            setPosition(getPosition() + ox::Vector(1, 0));
        }
        return 1;
    }
};

int main() {
    ox::GameManager& game = ox::GameManager::getInstance();
    if (game.startUp() != 0) {  // opens the window, reads ox-config.txt
        game.shutDown();
        return 1;
    }
    new Player;  // the world owns it and deletes it at shut-down
    game.run();  // one step every 33 ms until game over
    game.shutDown();
    return 0;
}
