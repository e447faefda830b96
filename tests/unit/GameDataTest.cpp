// The game's sounds, decoded by the audio library the engine plays them
// with: short, distinct drum hits at one level, a backing track below them
// with room for a drum on top, which loops in whole beats with its first
// beats on the chart's grid.
#include <gtest/gtest.h>
#include <SFML/Audio/SoundBuffer.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The chart's beat: 12.5 steps of 33 ms, the first beat 6.5 steps in.
constexpr double BEAT_MS = 412.5;
constexpr double FIRST_BEAT_MS = 214.5;
constexpr int FULL_SCALE = 32767;

struct Decoded {
    std::vector<std::int16_t> samples;  // one channel
    double rate = 0;
    double seconds() const { return static_cast<double>(samples.size()) / rate; }
    int peak(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        int peak = 0;
        for (std::size_t i = from; i < std::min(to, samples.size()); i++) {
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        }
        return peak;
    }
};

Decoded decode(const std::string& name) {
    sf::SoundBuffer buffer;
    Decoded d;
    if (!buffer.loadFromFile(std::string(ORVIX_RUN_DIR) + "/sounds/" + name) ||
        buffer.getChannelCount() != 1) {
        ADD_FAILURE() << "sounds/" << name << " is not a mono sound";
        return d;
    }
    d.samples.assign(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
    d.rate = buffer.getSampleRate();
    return d;
}

TEST(GameSounds, DrumHitsAreShortDistinctAndLevelAboveTheMusicWithRoomForBoth) {
    const int music_peak = decode("basement.mp3").peak();
    double previous_crossings = 0;
    for (const char* lane : {"bass", "tom", "snare", "cymbal"}) {
        const Decoded d = decode(std::string(lane) + ".mp3");
        ASSERT_FALSE(d.samples.empty()) << lane;
        EXPECT_LT(d.seconds(), 0.6) << lane;
        // At least 3 dB over the music's loudest, and the two together short
        // of full scale.
        EXPECT_GE(d.peak(), std::sqrt(2.0) * music_peak) << lane;
        EXPECT_LE(d.peak() + music_peak, 0.9 * FULL_SCALE) << lane;
        // Zero crossings over the first 250 ms, a rough measure of brightness:
        // from the low kick to the hissing cymbal, each lane clearly brighter.
        const std::size_t n = std::min(d.samples.size(), static_cast<std::size_t>(d.rate / 4));
        int crossings = 0;
        for (std::size_t i = 1; i < n; ++i) {
            crossings += (d.samples[i - 1] < 0) != (d.samples[i] < 0) ? 1 : 0;
        }
        const double rate = crossings / static_cast<double>(n);
        EXPECT_GT(rate, 1.5 * previous_crossings) << lane;
        previous_crossings = rate;
    }
}

TEST(GameSounds, BackingTrackLoopsInWholeBeatsOnTheChartsGrid) {
    const Decoded d = decode("basement.mp3");
    ASSERT_FALSE(d.samples.empty());
    EXPECT_LE(d.peak(), 0.99 * FULL_SCALE);
    // It outlasts the music's stop at chart entry 1608 (53.064 s) and loops
    // after a whole number of beats, so the loop keeps the beat.
    EXPECT_GE(d.seconds(), 53.1);
    const double beats = d.seconds() * 1000.0 / BEAT_MS;
    EXPECT_NEAR(beats, std::round(beats), 1000.0 / (BEAT_MS * d.rate));

    // The first three beats start to the millisecond, the encoder's start
    // delay included: the first sample from 100 ms before the beat that
    // reaches a quarter of the loudest within 50 ms of it.
    const auto sample = [&](double ms) { return static_cast<std::size_t>(ms * d.rate / 1000); };
    for (int beat = 0; beat < 3; ++beat) {
        const double expected = FIRST_BEAT_MS + beat * BEAT_MS;
        const int loudest = d.peak(sample(expected - 50), sample(expected + 50));
        std::size_t i = sample(expected - 100);
        while (i < sample(expected + 50) &&
               4 * std::abs(static_cast<int>(d.samples[i])) < loudest) {
            ++i;
        }
        EXPECT_NEAR(i * 1000.0 / d.rate, expected, 1.0) << "beat " << beat;
    }
}

}  // namespace
