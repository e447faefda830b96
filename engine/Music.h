#pragma once

#include <SFML/Audio/Music.hpp>

#include <string>

namespace ox {

/// A long piece of music streamed from its file while it plays, found by its label.
class Music {
public:
    /// A music labelled "[Undefined]" with no file.
    Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// Opens an audio file for streaming. Returns 0, or -1 when it cannot be opened.
    int loadMusic(std::string filename);

    /// Sets the label.
    void setLabel(std::string new_label) { m_label = std::move(new_label); }
    /// The label the resource manager finds the music by.
    std::string getLabel() const { return m_label; }

    /// Starts the music, looping or not.
    void play(bool loop = false);

    /// Stops the music; the next play starts from the beginning.
    void stop();

    /// The SFML music.
    sf::Music* getMusic() { return &m_music; }

private:
    sf::Music m_music;
    std::string m_label;
};

}  // namespace ox
