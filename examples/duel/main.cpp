// Two players in two processes on one machine: "duel host PORT" listens (PORT
// 0: the system picks a free port, which the host prints) and "duel join PORT"
// connects. The arrow keys move your player and Q quits. Each side sends its
// player to the other as an object record; the game ends when either side
// quits or the connection drops. An optional script of moves replaces the
// keyboard once connected: l r u d move one cell, '.' waits a step, q quits.
// Built against the installed engine (find_package(Orvix)).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include <orvix/DisplayManager.h>
#include <orvix/EventKeyboard.h>
#include <orvix/EventNetwork.h>
#include <orvix/EventStep.h>
#include <orvix/GameManager.h>
#include <orvix/NetworkManager.h>
#include <orvix/WorldManager.h>

namespace {

// How each side's player looks and where it starts.
struct Role {
    char symbol;
    ox::Color color;
    ox::Vector start;
};
const Role HOST{'H', ox::CYAN, ox::Vector(20, 12)};
const Role GUEST{'J', ox::YELLOW, ox::Vector(60, 12)};

// One move: the key that makes it, its letter in a script, and where it goes.
struct Move {
    int key;
    char letter;
    ox::Vector step;
};
const Move MOVES[] = {{ox::Keyboard::LEFTARROW, 'l', ox::Vector(-1, 0)},
                      {ox::Keyboard::RIGHTARROW, 'r', ox::Vector(1, 0)},
                      {ox::Keyboard::UPARROW, 'u', ox::Vector(0, -1)},
                      {ox::Keyboard::DOWNARROW, 'd', ox::Vector(0, 1)},
                      {ox::Keyboard::Q, 'q', ox::Vector()}};

// A player as drawn: one coloured character.
class Avatar : public ox::Object {
public:
    explicit Avatar(const Role& role) : m_role(role) { setPosition(role.start); }
    int draw() override {
        return ox::DisplayManager::getInstance().drawCh(getPosition(), m_role.symbol, m_role.color,
                                                        0);
    }

private:
    const Role& m_role;
};

// The player on this side, moved by the keyboard or by a script.
class Player : public Avatar {
public:
    Player(const Role& role, std::string script) : Avatar(role), m_script(std::move(script)) {
        registerInterest(ox::KEYBOARD_EVENT);
        registerInterest(ox::STEP_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::STEP_EVENT) {
            if (!m_script.empty() && ox::NetworkManager::getInstance().isConnected()) {
                play(m_script.front());
                m_script.erase(0, 1);
            }
            return 1;
        }
        if (p_e->getType() == ox::KEYBOARD_EVENT) {
            auto* p_k = static_cast<const ox::EventKeyboard*>(p_e);
            for (const Move& move : MOVES) {
                if (p_k->getKey() == move.key && p_k->getKeyboardAction() == ox::KEY_PRESSED) {
                    play(move.letter);
                }
            }
            return 1;
        }
        return 0;
    }

private:
    void play(char letter) {
        if (letter == 'q') {
            ox::GameManager::getInstance().setGameOver();
        }
        for (const Move& move : MOVES) {
            if (move.letter == letter) {
                ox::WorldManager::getInstance().moveObject(this, getPosition() + move.step);
            }
        }
    }

    std::string m_script;
};

// Carries the players over the connection: sends this side's player as an
// object record whenever it has moved, and applies the records that arrive to
// the other side's avatar. TCP carries a stream of bytes, not messages, so
// each record goes with its length in front.
class Link : public ox::Object {
public:
    Link(Player* p_mine, Avatar* p_theirs) : m_p_mine(p_mine), m_p_theirs(p_theirs) {
        setSolidness(ox::SPECTRAL);
        registerInterest(ox::STEP_EVENT);
        registerInterest(ox::NETWORK_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        if (p_e->getType() == ox::STEP_EVENT) {
            if (ox::NetworkManager::getInstance().isConnected() &&
                (m_p_mine->getModified() & ox::POSITION) != 0) {
                send();
            }
            return 1;
        }
        if (p_e->getType() != ox::NETWORK_EVENT) {
            return 0;
        }
        auto* p_n = static_cast<const ox::EventNetwork*>(p_e);
        if (p_n->getLabel() == ox::DATA) {
            m_inbox.append(p_n->getMessage(), p_n->getBytes());
            unpack();
        } else if (p_n->getLabel() == ox::CLOSE) {
            std::printf("The other player left.\n");
            ox::GameManager::getInstance().setGameOver();
        }
        return 1;
    }

private:
    void send() {
        std::ostringstream record;
        m_p_mine->serialize(&record, ox::POSITION);  // clears the POSITION bit
        const std::uint32_t length = record.str().size();
        std::string message(reinterpret_cast<const char*>(&length), sizeof length);
        message += record.str();
        ox::NetworkManager::getInstance().send(message.data(), message.size(), 0);
    }
    // Applies every whole record that has arrived; a part waits for the rest.
    void unpack() {
        std::uint32_t length = 0;
        while (m_inbox.size() >= sizeof length) {
            std::memcpy(&length, m_inbox.data(), sizeof length);
            if (m_inbox.size() < sizeof length + length) {
                return;
            }
            std::istringstream record(m_inbox.substr(sizeof length, length));
            m_p_theirs->deserialize(&record);
            m_inbox.erase(0, sizeof length + length);
        }
    }

    Player* m_p_mine;
    Avatar* m_p_theirs;
    std::string m_inbox;  // bytes received and not yet applied
};

// Listens or connects, as the command line says; 0, or -1.
int connect(bool hosting, const char* port) {
    ox::NetworkManager& network = ox::NetworkManager::getInstance();
    if (hosting) {
        if (network.setServer(port) != 0) {
            return -1;
        }
        std::printf("Listening on port %d.\n", network.getServerPort());
        std::fflush(stdout);  // a script waits for this line
        return 0;
    }
    return network.connect("127.0.0.1", port) < 0 ? -1 : 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool hosting = argc > 2 && std::strcmp(argv[1], "host") == 0;
    if (argc < 3 || (!hosting && std::strcmp(argv[1], "join") != 0)) {
        std::fprintf(stderr, "usage: duel host|join PORT [MOVES]\n");
        return 2;
    }
    ox::GameManager& game = ox::GameManager::getInstance();
    if (game.startUp() != 0 || connect(hosting, argv[2]) != 0) {
        std::fprintf(stderr, "duel: cannot %s port %s (see orvix.log)\n",
                     hosting ? "listen on" : "connect to", argv[2]);
        game.shutDown();
        return 1;
    }
    auto* p_mine = new Player(hosting ? HOST : GUEST, argc > 3 ? argv[3] : "");
    auto* p_theirs = new Avatar(hosting ? GUEST : HOST);
    new Link(p_mine, p_theirs);
    game.run();
    std::printf("Saw the other player at %s.\n", p_theirs->getPosition().toString().c_str());
    game.shutDown();
    return 0;
}
