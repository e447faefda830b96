// The game's data files, as the game loads them from its run directory: the
// sounds decoded by the audio library the engine plays them with, the sprites
// read by the engine's resource manager. The checks are the facts the game
// relies on: short distinct drum hits, a backing track on the chart's beat, a
// title that fits the window, a note box that only the out strip's catch of
// missed notes depends on, and a hit line over the four lanes.

#include <gtest/gtest.h>
#include <SFML/Audio/SoundBuffer.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string RUN_DIR = ORVIX_RUN_DIR;

// The chart's beat: 12.5 steps of 33 ms, the first beat 6.5 steps in.
constexpr double BEAT_MS = 412.5;
constexpr double FIRST_BEAT_MS = 214.5;

struct Decoded {
    std::vector<std::int16_t> samples;
    unsigned rate = 0;
    unsigned channels = 0;
    double seconds() const { return static_cast<double>(samples.size()) / rate / channels; }
};

Decoded decode(const std::string& name) {
    sf::SoundBuffer buffer;
    Decoded d;
    if (!buffer.loadFromFile(RUN_DIR + "/sounds/" + name)) {
        ADD_FAILURE() << "cannot decode sounds/" << name;
        return d;
    }
    d.samples.assign(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
    d.rate = buffer.getSampleRate();
    d.channels = buffer.getChannelCount();
    return d;
}

int peakOf(const Decoded& d) {
    int peak = 0;
    for (std::int16_t s : d.samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

/// Zero crossings per second over the first 250 ms: a rough measure of pitch
/// and brightness, low for a kick and high for a cymbal.
double crossingRate(const Decoded& d) {
    const size_t n = std::min(d.samples.size(), static_cast<size_t>(d.rate / 4));
    int crossings = 0;
    for (size_t i = 1; i < n; ++i)
        crossings += (d.samples[i - 1] < 0) != (d.samples[i] < 0) ? 1 : 0;
    return crossings * static_cast<double>(d.rate) / static_cast<double>(n);
}

/// Onset of the hit expected near `expected_ms`: the first sample from 100 ms
/// before it that reaches a quarter of the loudest sample within 50 ms of it.
double onsetMs(const Decoded& d, double expected_ms) {
    const auto at = [&](double ms) {
        return std::clamp<long>(std::lround(ms * d.rate / 1000.0), 0,
                                static_cast<long>(d.samples.size()));
    };
    int loudest = 0;
    for (long i = at(expected_ms - 50); i < at(expected_ms + 50); ++i)
        loudest = std::max(loudest, std::abs(static_cast<int>(d.samples[i])));
    for (long i = at(expected_ms - 100); i < at(expected_ms + 50); ++i)
        if (4 * std::abs(static_cast<int>(d.samples[i])) >= loudest)
            return i * 1000.0 / d.rate;
    return -1;
}

TEST(GameSounds, DrumHitsAreShortDistinctAndPeakNormalized) {
    const std::vector<std::string> lanes = {"bass", "tom", "snare", "cymbal"};
    std::vector<double> rates;
    for (const std::string& lane : lanes) {
        SCOPED_TRACE(lane);
        const Decoded d = decode(lane + ".mp3");
        ASSERT_FALSE(d.samples.empty());
        EXPECT_EQ(d.channels, 1u);
        EXPECT_LT(d.seconds(), 0.6);
        EXPECT_GE(peakOf(d), 0.8 * 32767);   // normalized to full scale ...
        EXPECT_LE(peakOf(d), 0.99 * 32767);  // ... without touching it
        rates.push_back(crossingRate(d));
    }
    // From the low kick to the hissing cymbal, each lane sounds brighter than
    // the one before, by a clear margin.
    for (size_t i = 1; i < rates.size(); ++i)
        EXPECT_GT(rates[i], 1.5 * rates[i - 1])
            << lanes[i] << " " << rates[i] << " against " << lanes[i - 1] << " " << rates[i - 1];
}

TEST(GameSounds, BackingTrackLoopsInWholeBeatsOnTheChartsGrid) {
    const Decoded d = decode("basement.mp3");
    ASSERT_FALSE(d.samples.empty());
    EXPECT_EQ(d.channels, 1u);
    EXPECT_LE(peakOf(d), 0.99 * 32767);

    // It outlasts the music's stop at chart entry 1608 (53.064 s) and loops
    // after a whole number of beats, so the loop keeps the beat.
    EXPECT_GE(d.seconds(), 53.1);
    const double beats = d.seconds() * 1000.0 / BEAT_MS;
    EXPECT_NEAR(beats, std::round(beats), 1.0 / (BEAT_MS * d.rate / 1000.0));

    // The count-in sticks sound on the first three beats to the millisecond,
    // the encoder's start delay included.
    for (int beat = 0; beat < 3; ++beat) {
        const double expected = FIRST_BEAT_MS + beat * BEAT_MS;
        EXPECT_NEAR(onsetMs(d, expected), expected, 1.0) << "beat " << beat;
    }
}

}  // namespace
