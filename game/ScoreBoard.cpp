#include "ScoreBoard.h"

#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"

ScoreBoard::ScoreBoard() {
    setLocation(ox::TOP_CENTER);
    setViewString("Score");
    setColor(ox::RED);
}

int ScoreBoard::eventHandler(const ox::Event* p_e) {
    return ox::ViewObject::eventHandler(p_e) != 0 ? 1 : 0;
}

int currentScore() {
    const ox::ObjectList objects = ox::WorldManager::getInstance().getSceneGraph().activeObjects();
    for (ox::ObjectListIterator it(&objects); !it.isDone(); it.next()) {
        if (const auto* p_board = dynamic_cast<const ScoreBoard*>(it.currentObject())) {
            return p_board->getValue();
        }
    }
    return 0;
}
