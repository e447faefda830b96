#include "Music.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "LogManager.h"

namespace ox {

namespace {

/// Bytes of the header of a WAV image of 16-bit samples.
constexpr std::size_t WAV_HEADER_BYTES = 44;

/// Appends value's low bytes, least significant first.
void putLittleEndian(std::vector<std::uint8_t>& image, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) {
        image.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

/// The WAV header of a PCM image of 16-bit samples.
void putWavHeader(std::vector<std::uint8_t>& image, unsigned channels, unsigned rate,
                  std::uint32_t data_bytes) {
    const auto put_text = [&image](const char* text) {
        for (int i = 0; i < 4; i++) {
            image.push_back(static_cast<std::uint8_t>(text[i]));
        }
    };
    put_text("RIFF");
    putLittleEndian(image, static_cast<std::uint32_t>(WAV_HEADER_BYTES - 8 + data_bytes), 4);
    put_text("WAVE");
    put_text("fmt ");
    putLittleEndian(image, 16, 4);  // the format chunk's size
    putLittleEndian(image, 1, 2);   // PCM
    putLittleEndian(image, channels, 2);
    putLittleEndian(image, rate, 4);
    putLittleEndian(image, rate * channels * 2, 4);  // bytes a second
    putLittleEndian(image, channels * 2, 2);         // bytes a frame
    putLittleEndian(image, 16, 2);                   // bits a sample
    put_text("data");
    putLittleEndian(image, data_bytes, 4);
}

/// The whole file decoded into a WAV image, or an empty image when it cannot
/// be decoded, is longer than MAX_DECODED_MUSIC_BYTES, or has more than two
/// channels (which a plain WAV header cannot place); such files stream.
std::vector<std::uint8_t> decodeToWav(const std::string& filename) {
    sf::InputSoundFile file;
    if (!file.openFromFile(std::filesystem::path(filename)) || file.getChannelCount() > 2 ||
        file.getSampleCount() * 2 > MAX_DECODED_MUSIC_BYTES) {
        return {};
    }
    const auto data_bytes = static_cast<std::uint32_t>(file.getSampleCount() * 2);
    std::vector<std::uint8_t> image;
    image.reserve(WAV_HEADER_BYTES + data_bytes);
    putWavHeader(image, file.getChannelCount(), file.getSampleRate(), data_bytes);
    std::array<std::int16_t, 4096> samples{};
    std::uint64_t left = file.getSampleCount();
    while (left > 0) {
        const std::uint64_t read =
            file.read(samples.data(), std::min<std::uint64_t>(left, samples.size()));
        if (read == 0) {
            return {};
        }
        for (std::uint64_t i = 0; i < read; i++) {
            putLittleEndian(image, static_cast<std::uint16_t>(samples[i]), 2);
        }
        left -= read;
    }
    return image;
}

}  // namespace

Music::Music() : m_label("[Undefined]") {}

int Music::loadMusic(std::string filename) {
    // A failed open leaves an sf::Music that had a file without a decoder, and
    // its next stop (or its destruction) then aborts the program. The file is
    // therefore opened in a fresh sf::Music that replaces the old one only on
    // success; on failure the old music stays as it was.
    std::vector<std::uint8_t> image = decodeToWav(filename);
    sf::Music opened;
    const bool ok = image.empty() ? opened.openFromFile(std::filesystem::path(filename))
                                  : opened.openFromMemory(image.data(), image.size());
    if (!ok) {
        return -1;
    }
    m_music.stop();
    m_music = std::move(opened);
    // After the old music, which read the old image, has gone.
    m_image = std::move(image);
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
