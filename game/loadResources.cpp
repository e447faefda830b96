#include "loadResources.h"

#include "ResourceManager.h"

void loadResources() {
    ox::ResourceManager& resources = ox::ResourceManager::getInstance();
    resources.loadSprite("sprites/rythumstart-spr.txt", "gamestart");
    resources.loadSprite("sprites/note-spr.txt", "note");
    resources.loadSprite("sprites/line-spr.txt", "line");
    resources.loadMusic("sounds/basement.mp3", "backing");
    resources.loadSound("sounds/bass.mp3", "bass");
    resources.loadSound("sounds/tom.mp3", "tom");
    resources.loadSound("sounds/snare.mp3", "snare");
    resources.loadSound("sounds/cymbal.mp3", "cymbal");
}
