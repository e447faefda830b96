#pragma once

#include <SFML/Audio/Music.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace ox {

/// The most bytes of 16-bit samples a music is decoded into when it is opened;
/// a longer one is decoded from its file while it plays.
constexpr std::uint64_t MAX_DECODED_MUSIC_BYTES = 64ULL << 20;

/// A long piece of music, found by its label. It is decoded whole when opened
/// (up to MAX_DECODED_MUSIC_BYTES), so that playing it costs the audio thread
/// no decoding: a slow decode there is heard as a gap in the sound.
class Music {
public:
    /// A music labelled "[Undefined]" with no file.
    Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// Opens an audio file and decodes it. Returns 0, or -1 when it cannot be
    /// opened (the music then stays as it was).
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
    std::vector<std::uint8_t> m_image;  ///< The decoded file, as WAV, that m_music reads.
    std::string m_label;
};

}  // namespace ox
