// Tutorial step 2: a maze read from a file and larger than the window, walls
// that stop the player (both are HARD), an animated sprite, and a view that
// follows the player. Arrow keys move, Q quits.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <orvix/DisplayManager.h>
#include <orvix/EventKeyboard.h>
#include <orvix/GameManager.h>
#include <orvix/ResourceManager.h>
#include <orvix/WorldManager.h>

// A box a hair smaller than the cell, so that neighbouring cells do not touch.
const ox::Box CELL_BOX(ox::Vector(-0.5f, -0.5f), 0.99f, 0.99f);

// A run of '#' in one row of the maze, as one object.
class Wall : public ox::Object {
public:
    Wall(int x, int y, int length) : m_length(length) {
        setPosition(ox::Vector(x, y));
        setBox(ox::Box(CELL_BOX.getCorner(), length - 0.01f, CELL_BOX.getVertical()));
    }
    int draw() override {
        for (int i = 0; i < m_length; i++) {
            ox::DisplayManager::getInstance().drawCh(getPosition() + ox::Vector(i, 0), '#',
                                                     ox::BLUE, 0);
        }
        return 0;
    }

private:
    int m_length;
};

class Player : public ox::Object {
public:
    explicit Player(ox::Vector start) {
        setSprite("player");  // loaded in main; it takes the sprite's box
        setBox(CELL_BOX);
        setPosition(start);
        registerInterest(ox::KEYBOARD_EVENT);
        ox::WorldManager::getInstance().setViewFollowing(this);
    }
    // An arrow held sets the direction and half a cell a step; the world
    // manager moves the player each step and stops it at walls.
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() != ox::KEYBOARD_EVENT) {
            return 0;
        }
        auto* p_key = static_cast<const ox::EventKeyboard*>(p_e);
        const int key = p_key->getKey();
        if (key == ox::Keyboard::Q) {
            ox::GameManager::getInstance().setGameOver();
        } else if (key >= ox::Keyboard::LEFTARROW && key <= ox::Keyboard::DOWNARROW) {
            // The arrow keys come in the order left, right, up, down.
            const ox::Vector directions[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
            setDirection(directions[key - ox::Keyboard::LEFTARROW]);
            setSpeed(p_key->getKeyboardAction() == ox::KEY_RELEASED ? 0 : 0.5f);
        }
        return 1;
    }
};

int main() {
    ox::GameManager& game = ox::GameManager::getInstance();
    if (game.startUp() != 0 ||
        ox::ResourceManager::getInstance().loadSprite("sprites/player-spr.txt", "player") != 0) {
        game.shutDown();
        return 1;
    }
    std::ifstream file("maze.txt");
    std::vector<std::string> rows;
    std::size_t width = 0;
    for (std::string row; std::getline(file, row);) {
        rows.push_back(row);
        width = std::max(width, row.size());
    }
    // The world is as large as the maze; the view stays the window's size.
    ox::WorldManager::getInstance().setBoundary(ox::Box(CELL_BOX.getCorner(), width, rows.size()));
    for (std::size_t y = 0; y < rows.size(); y++) {
        for (std::size_t x = 0; x < rows[y].size(); x++) {
            if (rows[y][x] == '#') {
                const std::size_t end = std::min(rows[y].find_first_not_of('#', x), rows[y].size());
                new Wall(x, y, end - x);
                x = end - 1;
            } else if (rows[y][x] == '@') {
                new Player(ox::Vector(x, y));
            }
        }
    }
    game.run();
    game.shutDown();
    return 0;
}
