#include "Music.h"

#include <filesystem>

#include "LogManager.h"

namespace ox {

Music::Music() : m_label("[Undefined]") {}

int Music::loadMusic(std::string filename) {
    return m_music.openFromFile(std::filesystem::path(filename)) ? 0 : -1;
}

void Music::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Music::play(): Playing music.");
    m_music.play();
    m_music.setLooping(loop);
}

void Music::stop() {
    LogManager::getInstance().writeLog(5, "Music::stop(): Stopping music.");
    m_music.stop();
}

}  // namespace ox
