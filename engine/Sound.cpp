#include "Sound.h"

#include <filesystem>
#include <new>

#include "LogManager.h"

namespace ox {

Sound::Sound() : m_label("[Undefined]") {}

Sound::~Sound() = default;

int Sound::loadSound(std::string filename) {
    if (!m_sound_buffer.loadFromFile(std::filesystem::path(filename))) {
        return -1;
    }
    if (m_p_sound == nullptr) {
        m_p_sound.reset(new (std::nothrow) sf::Sound(m_sound_buffer));
        if (m_p_sound == nullptr) {
            LogManager::getInstance().writeLog(
                "Sound::loadSound(): Error! Cannot allocate m_p_sound.");
            return -1;
        }
    } else {
        m_p_sound->setBuffer(m_sound_buffer);
    }
    return 0;
}

void Sound::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Sound::play(): Playing sound.");
    if (m_p_sound != nullptr) {
        m_p_sound->play();
        m_p_sound->setLooping(loop);
    }
}

void Sound::stop() {
    if (m_p_sound != nullptr) {
        m_p_sound->stop();
    }
}

}  // namespace ox
