#pragma once

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <memory>
#include <string>

namespace ox {

/// A short sound effect held completely in memory, found by its label.
class Sound {
public:
    /// An empty sound labelled "[Undefined]".
    Sound();
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// Loads a whole audio file. Returns 0, or -1 when it cannot be read or decoded.
    int loadSound(std::string filename);

    /// Sets the label.
    void setLabel(std::string new_label) { m_label = std::move(new_label); }
    /// The label the resource manager finds the sound by.
    std::string getLabel() const { return m_label; }

    /// Plays the sound from its start (restarting it if it plays), looping or not.
    void play(bool loop = false);

    /// Stops the sound.
    void stop();

    /// The SFML sound, null until the first successful load.
    sf::Sound* getSound() const { return m_p_sound.get(); }

private:
    std::unique_ptr<sf::Sound> m_p_sound;
    sf::SoundBuffer m_sound_buffer;
    std::string m_label;
};

}  // namespace ox
