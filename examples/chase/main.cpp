// A chase through a maze larger than the window: walk out through the gap in
// the east wall before the monsters catch you. Arrow keys move, Q quits; each
// monster that reaches you costs one health, each pick-up (+) gives one back.
// Built against the installed engine (find_package(Orvix)).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <orvix/DisplayManager.h>
#include <orvix/EventCollision.h>
#include <orvix/EventKeyboard.h>
#include <orvix/EventOut.h>
#include <orvix/EventStep.h>
#include <orvix/EventView.h>
#include <orvix/GameManager.h>
#include <orvix/ResourceManager.h>
#include <orvix/ViewObject.h>
#include <orvix/WorldManager.h>

namespace {

const std::string HEALTH = "Health";
const float PLAYER_SPEED = 0.5f;   // cells a step
const float MONSTER_SPEED = 0.4f;  // a little slower: the player can get away
// A box a hair smaller than the cell, so that neighbouring cells do not touch.
const ox::Box CELL_BOX(ox::Vector(-0.5f, -0.5f), 0.99f, 0.99f);

// The object a collision brought `self` together with.
ox::Object* other(const ox::Event* p_e, const ox::Object* self) {
    auto* p_c = static_cast<const ox::EventCollision*>(p_e);
    return p_c->getObject1() == self ? p_c->getObject2() : p_c->getObject1();
}

// A run of wall cells in one row of the maze: one HARD object, not one a cell.
class Wall : public ox::Object {
public:
    Wall(int x, int y, int length) : m_length(length) {
        setType("Wall");
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

// Gives one health to the player that walks over it. SOFT: it stops no one.
class PickUp : public ox::Object {
public:
    explicit PickUp(ox::Vector where) {
        setType("PickUp");
        setSolidness(ox::SOFT);
        setPosition(where);
        setBox(CELL_BOX);
    }
    int draw() override {
        return ox::DisplayManager::getInstance().drawCh(getPosition(), '+', ox::GREEN, 0);
    }
};

class Player : public ox::Object {
public:
    explicit Player(ox::Vector start) {
        setType("Player");
        setSprite("player");
        setBox(CELL_BOX);
        setPosition(start);
        registerInterest(ox::KEYBOARD_EVENT);
        ox::WorldManager::getInstance().setViewFollowing(this);
        changeHealth(3);
    }
    // Takes one health; at none the game is over.
    void hurt() {
        changeHealth(-1);
        if (m_health == 0) {
            end("Caught");
        }
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::KEYBOARD_EVENT) {
            return key(static_cast<const ox::EventKeyboard*>(p_e));
        }
        if (p_e->getType() == ox::OUT_EVENT) {
            end("Escaped");
            return 1;
        }
        if (p_e->getType() == ox::COLLISION_EVENT && other(p_e, this)->getType() == "PickUp") {
            ox::WorldManager::getInstance().markForDelete(other(p_e, this));
            changeHealth(1);
            return 1;
        }
        return 0;
    }

private:
    // An arrow held moves the player; letting go stops it.
    int key(const ox::EventKeyboard* p_k) {
        static const struct {
            int key;
            ox::Vector direction;
        } ARROWS[] = {{ox::Keyboard::LEFTARROW, {-1, 0}},
                      {ox::Keyboard::RIGHTARROW, {1, 0}},
                      {ox::Keyboard::UPARROW, {0, -1}},
                      {ox::Keyboard::DOWNARROW, {0, 1}}};
        if (p_k->getKey() == ox::Keyboard::Q) {
            ox::GameManager::getInstance().setGameOver();
            return 1;
        }
        for (const auto& arrow : ARROWS) {
            if (p_k->getKey() == arrow.key) {
                const bool held = p_k->getKeyboardAction() != ox::KEY_RELEASED;
                setDirection(arrow.direction);
                setSpeed(held ? PLAYER_SPEED : 0);
                return 1;
            }
        }
        return 0;
    }
    void changeHealth(int change) {
        m_health += change;
        ox::EventView view(HEALTH, m_health, false);
        ox::WorldManager::getInstance().onEvent(&view);
    }
    void end(const char* how) {
        std::printf("%s after %d steps.\n", how, ox::GameManager::getInstance().getStepCount());
        ox::GameManager::getInstance().setGameOver();
    }

    int m_health = 0;
};

// Finds its way to the player with the path manager and walks the path; when
// it reaches the player it goes back to its den and starts again.
class Monster : public ox::Object {
public:
    Monster(ox::Vector den, Player* p_player, int number)
        : m_den(den), m_p_player(p_player), m_number(number) {
        setType("Monster");
        setSprite("monster");
        setSolidness(ox::SOFT);
        setBox(CELL_BOX);
        setSpeed(MONSTER_SPEED);
        setPosition(den);
        registerInterest(ox::STEP_EVENT);
        findPath(m_p_player);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::STEP_EVENT) {
            step();
            return 1;
        }
        if (p_e->getType() == ox::COLLISION_EVENT && other(p_e, this) == m_p_player) {
            std::printf("Monster %d reached the player in %d steps.\n", m_number, m_walked);
            m_walked = 0;
            setFollowPath(false);
            setPosition(m_den);
            findPath(m_p_player);
            m_p_player->hurt();
            return 1;
        }
        return Object::eventHandler(p_e);  // takes the path a search found
    }

private:
    // Counts the steps walked, and searches again when the path has run out
    // (the player has moved away from its end).
    void step() {
        if (getFollowPath()) {
            m_walked++;
        } else if (getPathFind() == nullptr) {
            findPath(m_p_player);
        }
    }

    ox::Vector m_den;
    Player* m_p_player;
    int m_number;
    int m_walked = 0;
};

// Builds the world from a map: '#' walls, '@' the player, 'M' monsters and
// '+' pick-ups. The world is as large as the map.
int loadMaze(const char* filename) {
    std::ifstream file(filename);
    std::vector<std::string> rows;
    for (std::string row; std::getline(file, row);) {
        rows.push_back(row);
    }
    std::size_t width = 0;
    for (const std::string& row : rows) {
        width = std::max(width, row.size());
    }
    ox::WorldManager::getInstance().setBoundary(ox::Box(CELL_BOX.getCorner(), width, rows.size()));
    Player* p_player = nullptr;
    std::vector<ox::Vector> dens;
    for (std::size_t y = 0; y < rows.size(); y++) {
        const std::string& row = rows[y];
        for (std::size_t x = 0; x < row.size(); x++) {
            const ox::Vector here(x, y);
            if (row[x] == '#') {
                const std::size_t end = std::min(row.find_first_not_of('#', x), row.size());
                new Wall(x, y, end - x);
                x = end - 1;
            } else if (row[x] == '+') {
                new PickUp(here);
            } else if (row[x] == '@') {
                p_player = new Player(here);
            } else if (row[x] == 'M') {
                dens.push_back(here);
            }
        }
    }
    if (p_player == nullptr) {
        return -1;
    }
    for (std::size_t i = 0; i < dens.size(); i++) {
        new Monster(dens[i], p_player, i + 1);
    }
    return 0;
}

}  // namespace

int main() {
    ox::GameManager& game = ox::GameManager::getInstance();
    ox::ResourceManager& resources = ox::ResourceManager::getInstance();
    if (game.startUp() != 0 || resources.loadSprite("sprites/player-spr.txt", "player") != 0 ||
        resources.loadSprite("sprites/monster-spr.txt", "monster") != 0) {
        game.shutDown();
        return 1;
    }
    auto* p_health = new ox::ViewObject;  // the world owns it
    p_health->setViewString(HEALTH);
    p_health->setLocation(ox::TOP_LEFT);
    p_health->setColor(ox::RED);
    if (loadMaze("maze.txt") != 0) {
        std::fprintf(stderr, "chase: no player in maze.txt\n");
        game.shutDown();
        return 1;
    }
    game.run();
    game.shutDown();
    return 0;
}
