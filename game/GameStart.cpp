#include "GameStart.h"

#include "Button.h"
#include "Conductor.h"
#include "EventKeyboard.h"
#include "GameManager.h"
#include "Out.h"
#include "ScoreBoard.h"
#include "line.h"

GameStart::GameStart() : m_started(false), m_p_conductor(new Conductor) {
    setType("GameStart");
    setSprite("gamestart");
    setLocation(ox::CENTER_CENTER);
    registerInterest(ox::KEYBOARD_EVENT);
}

int GameStart::eventHandler(const ox::Event* p_e) {
    if (p_e->getType() != ox::KEYBOARD_EVENT) {
        return 0;
    }
    const auto* p_keyboard_event = static_cast<const ox::EventKeyboard*>(p_e);
    switch (p_keyboard_event->getKey()) {
        case ox::Keyboard::P:
            start();
            break;
        case ox::Keyboard::Q:
            ox::GameManager::getInstance().setGameOver(true);
            break;
        default:
            break;
    }
    return 1;
}

int GameStart::draw() {
    return m_started ? 0 : ox::Object::draw();
}

void GameStart::start() {
    if (m_started) {
        return;
    }
    m_started = true;
    new Button;
    new ScoreBoard;
    new line;
    new Out;
    m_p_conductor->startPlaying();
}
