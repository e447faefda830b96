// Judges a recording of the game's sound as a player's ear would: how loud it
// is, and where one of the game's sounds is heard in it. The recording is
// signed 16-bit little-endian mono at 48000 Hz, as the sound server's null
// sink records it; the sound is one of the game's files.
//   listen RECORDING SOUND
// prints "rms R" (root mean square, of full scale, from the first sound on)
// and "match M at S" (how well the sound's first 20 ms match the recording at
// their best, 1 for a perfect match at any level, and at which second).
#include <SFML/Audio/SoundBuffer.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr unsigned RATE = 48000;
constexpr std::size_t ATTACK_SAMPLES = RATE * 20 / 1000;

using Samples = std::vector<float>;

Samples readRecording(const char* p_path) {
    std::ifstream in(p_path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    Samples samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); i++) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(low | high << 8) / 32768.0f;
    }
    return samples;
}

/// The sound's first ATTACK_SAMPLES from its first sound, its channels
/// averaged; empty when it cannot be read or is not at RATE.
Samples attackOf(const char* p_path) {
    sf::SoundBuffer buffer;
    if (!buffer.loadFromFile(p_path) || buffer.getSampleRate() != RATE) {
        return {};
    }
    const unsigned channels = buffer.getChannelCount();
    const std::size_t frames = buffer.getSampleCount() / channels;
    Samples mono(frames);
    for (std::size_t i = 0; i < frames; i++) {
        for (unsigned c = 0; c < channels; c++) {
            mono[i] += buffer.getSamples()[i * channels + c] / 32768.0f / channels;
        }
    }
    const auto first = std::find_if(mono.begin(), mono.end(), [](float v) { return v != 0; });
    if (mono.end() - first < static_cast<long>(ATTACK_SAMPLES)) {
        return {};
    }
    return Samples(first, first + ATTACK_SAMPLES);
}

double rmsFromFirstSound(const Samples& s) {
    const auto first = std::find_if(s.begin(), s.end(), [](float v) { return v != 0; });
    double sum = 0;
    for (auto it = first; it != s.end(); ++it) {
        sum += *it * *it;
    }
    return first != s.end() ? std::sqrt(sum / static_cast<double>(s.end() - first)) : 0;
}

/// Normalised cross-correlation of the attack with the recording at a sample.
double matchAt(const Samples& rec, const Samples& attack, std::size_t at) {
    double product = 0, rec_energy = 0, attack_energy = 0;
    for (std::size_t j = 0; j < attack.size(); j++) {
        product += rec[at + j] * attack[j];
        rec_energy += rec[at + j] * rec[at + j];
        attack_energy += attack[j] * attack[j];
    }
    return rec_energy > 0 ? product / std::sqrt(rec_energy * attack_energy) : 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: listen RECORDING SOUND\n");
        return 2;
    }
    const Samples rec = readRecording(argv[1]);
    const Samples attack = attackOf(argv[2]);
    if (attack.empty() || rec.size() < attack.size()) {
        std::fprintf(stderr, "listen: Error! Cannot compare '%s' with '%s'.\n", argv[1], argv[2]);
        return 1;
    }
    double best = 0;
    std::size_t best_at = 0;
    for (std::size_t at = 0; at + attack.size() <= rec.size(); at++) {
        const double match = matchAt(rec, attack, at);
        if (match > best) {
            best = match;
            best_at = at;
        }
    }
    std::printf("rms %.4f\nmatch %.3f at %.3f\n", rmsFromFirstSound(rec), best,
                static_cast<double>(best_at) / RATE);
    return 0;
}
