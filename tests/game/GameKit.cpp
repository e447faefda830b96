#include "GameKit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Conductor.h"
#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "GameStart.h"
#include "InputManager.h"
#include "Lanes.h"
#include "LogManager.h"
#include "Note.h"
#include "ObjectListIterator.h"
#include "ScratchDir.h"
#include "WorldManager.h"

namespace game_test {

HeadlessGame::HeadlessGame(const std::string& extra_config) {
    const std::filesystem::path run_dir = ORVIX_RUN_DIR;
    for (const char* dir : {"sprites", "sounds"}) {
        std::filesystem::copy(run_dir / dir, dir, std::filesystem::copy_options::recursive);
    }
    // The first of a repeated item counts: the extra items come first.
    ox_test::writeFile("ox-config.txt",
                       extra_config + "headless:true,\nframe_time:0,\nnetworking:false,\n");
    m_started = ox::GameManager::getInstance().startUp() == 0;
    EXPECT_TRUE(m_started) << m_log.text();
    ox::LogManager::getInstance().setFlush(true);
    ox::LogManager::getInstance().setLogLevel(5);
}

HeadlessGame::~HeadlessGame() {
    ox::GameManager::getInstance().shutDown();
}

std::vector<int> HeadlessGame::stepsOf(const std::string& message) const {
    const std::vector<std::string> messages = m_log.messages();
    std::vector<int> found;
    for (std::size_t i = 0; i < messages.size(); i++) {
        if (messages[i] == message) {
            found.push_back(m_log.stepCounts()[i]);
        }
    }
    return found;
}

void sendKey(ox::Keyboard::Key key, ox::EventKeyboardAction action) {
    ox::EventKeyboard event;
    event.setKey(key);
    event.setKeyboardAction(action);
    ox::InputManager::getInstance().onEvent(&event);
}

void tapKey(ox::Keyboard::Key key) {
    sendKey(key, ox::KEY_PRESSED);
    sendKey(key, ox::KEY_RELEASED);
}

Player::Player(GameStart* p_game_start) : m_p_game_start(p_game_start) {
    setType("player");
    setSolidness(ox::SPECTRAL);
    registerInterest(ox::STEP_EVENT);
}

int Player::entry() const {
    const Conductor* p_conductor = m_p_game_start->getConductor();
    return p_conductor->isPlaying() ? p_conductor->getStepCount() - 1 : -1;
}

int Player::eventHandler(const ox::Event* p_e) {
    if (p_e->getType() != ox::STEP_EVENT) {
        return 0;
    }
    if (entry() >= 0 && song_steps++ == 0) {
        first_song_step = ox::GameManager::getInstance().getStepCount();
    }
    watch();
    if (plan) {
        plan(*this, m_step);
    }
    m_step++;
    return 0;
}

void Player::watch() {
    const ox::ObjectList on_field =
        ox::WorldManager::getInstance().getSceneGraph().objectsOfType("note");
    std::map<int, const Note*> alive;
    for (ox::ObjectListIterator it(&on_field); !it.isDone(); it.next()) {
        alive[it.currentObject()->getId()] = static_cast<const Note*>(it.currentObject());
    }
    for (auto& [id, seen] : notes) {
        if (seen.gone < 0 && alive.count(id) == 0) {
            seen.gone = entry();
        }
    }
    for (const auto& [id, p_note] : alive) {
        const ox::Vector position = p_note->getPosition();
        notes.try_emplace(id,
                          SeenNote{p_note->getKey(), entry(), position.getX(), position.getY(), 0});
        notes[id].last_row = position.getY();
    }
}

void Player::playPerfectly() {
    const float c = static_cast<float>(ox::DisplayManager::getInstance().getVertical() / 2);
    const ox::ObjectList on_field =
        ox::WorldManager::getInstance().getSceneGraph().objectsOfType("note");
    for (const lanes::Lane& lane : lanes::LANES) {
        for (ox::ObjectListIterator it(&on_field); !it.isDone(); it.next()) {
            const auto* p_note = static_cast<const Note*>(it.currentObject());
            const float y = p_note->getPosition().getY();
            if (p_note->getKey() == lane.key && !p_note->isHit() && c + lanes::PERFECT_FROM < y &&
                y < c + lanes::PERFECT_TO) {
                tapKey(lane.keyboard_key);
                break;
            }
        }
    }
}

}  // namespace game_test
