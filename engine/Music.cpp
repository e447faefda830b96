#include "Music.h"

#include <filesystem>
#include <utility>

#include "LogManager.h"

namespace ox {

Music::Music() : m_label("[Undefined]") {}

int Music::loadMusic(std::string filename) {
    // A failed open leaves an sf::Music that had a file without a decoder, and
    // its next stop (or its destruction) then aborts the program. The file is
    // therefore opened in a fresh sf::Music that replaces the old one only on
    // success; on failure the old music stays as it was.
    sf::Music opened;
    if (!opened.openFromFile(std::filesystem::path(filename))) {
        return -1;
    }
    m_music.stop();
    m_music = std::move(opened);
    return 0;
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
