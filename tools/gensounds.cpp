// Synthesizes the rhythm game's five sounds and encodes them to MP3 with lame.
//
//   gensounds OUT_DIR WORK_DIR
//
// Writes bass.mp3, tom.mp3, snare.mp3, cymbal.mp3 (the lane drums) and
// basement.mp3 (the backing track) into OUT_DIR; WORK_DIR holds the WAV files
// handed to the encoder and the decoded copies used for checking. Every sound
// is made here from oscillators and seeded noise, so each run writes the same
// files. After encoding, each MP3 is decoded again and measured: its length,
// its peak, clipped samples, and for the backing track the onset of the first
// beat, which is moved until the decoded onset sits where the game expects it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "Chart.h"

namespace {

using Buffer = std::vector<float>;
namespace fs = std::filesystem;

constexpr int RATE = 48000;
constexpr double TWO_PI = 2.0 * std::numbers::pi;

// The game advances one step every 33 ms and its chart has 12.5 steps a beat.
// A note made at chart entry s is in the middle of its perfect window at step
// s + 62, so beat k of the track sounds at 214.5 ms + k * 412.5 ms. At 48 kHz
// both are whole numbers of samples.
constexpr long STEP = 1584;         // 33 ms
constexpr int PERFECT_STEPS = 62;   // from a note's entry to the middle of its perfect window
constexpr int GOOD_STEPS = 6;       // from that middle to either end of the window that scores
constexpr long BEAT = 19800;        // 412.5 ms
constexpr long FIRST_BEAT = 10296;  // 214.5 ms
constexpr long HALF_BEAT = BEAT / 2;
// Three count-in beats, then 32 bars of four beats: 54.04 s, longer than the
// 53.06 s the game plays it before it stops the music.
constexpr int COUNT_IN_BEATS = 3;
constexpr int SONG_BARS = 32;
constexpr int SONG_BEATS = COUNT_IN_BEATS + 4 * SONG_BARS;

// Peaks of the decoded sounds. The game plays the drums over the music, so
// the two add up: the song as a perfect player makes it (a drum on every
// chart note) must stay under MIX_PEAK, -1 dBFS, with the drums well above
// the music.
constexpr float MIX_PEAK = 0.891f;
constexpr float DRUM_PEAK = 0.42f;  // -7.5 dBFS
constexpr float SONG_PEAK = 0.26f;  // -11.7 dBFS
constexpr const char* DRUM_BITRATE = "128";
constexpr const char* SONG_BITRATE = "96";

long samples(double seconds) {
    return std::lround(seconds * RATE);
}
double timeOf(long i) {
    return static_cast<double>(i) / RATE;
}
double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// ---------------------------------------------------------------- building blocks

/// Seeded white noise in [-1, 1) (xorshift32).
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed * 2654435761u + 1u) {}
    float next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t m_state;
};

/// Two-pole filter with the usual low-pass, high-pass and band-pass designs.
class Biquad {
public:
    enum Kind { LOW, HIGH, BAND };
    Biquad(Kind kind, double hz, double q) {
        const double w = TWO_PI * hz / RATE;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        double b0 = 0, b1 = 0, b2 = 0;
        if (kind == LOW) {
            b0 = b2 = (1 - c) / 2;
            b1 = 1 - c;
        } else if (kind == HIGH) {
            b0 = b2 = (1 + c) / 2;
            b1 = -(1 + c);
        } else {
            b0 = alpha;
            b2 = -alpha;
        }
        const double a0 = 1 + alpha;
        m_b = {b0 / a0, b1 / a0, b2 / a0};
        m_a = {-2 * c / a0, (1 - alpha) / a0};
    }
    float operator()(float x) {
        const double y =
            m_b[0] * x + m_b[1] * m_x[0] + m_b[2] * m_x[1] - m_a[0] * m_y[0] - m_a[1] * m_y[1];
        m_x = {x, m_x[0]};
        m_y = {y, m_y[0]};
        return static_cast<float>(y);
    }

private:
    std::array<double, 3> m_b{};
    std::array<double, 2> m_a{};
    std::array<double, 2> m_x{};
    std::array<double, 2> m_y{};
};

/// One-pole low-pass whose cut-off may change every sample.
class Smoother {
public:
    float operator()(float x, double hz) {
        m_y += (1.0 - std::exp(-TWO_PI * hz / RATE)) * (x - m_y);
        return static_cast<float>(m_y);
    }

private:
    double m_y = 0;
};

/// Band-limited sawtooth (polynomial step correction), output in [-1, 1].
class Saw {
public:
    float operator()(double hz) {
        const double dt = hz / RATE;
        double v = 2.0 * m_phase - 1.0;
        if (m_phase < dt) {
            const double t = m_phase / dt;
            v -= t + t - t * t - 1.0;
        } else if (m_phase > 1.0 - dt) {
            const double t = (m_phase - 1.0) / dt;
            v -= t * t + t + t + 1.0;
        }
        m_phase += dt;
        if (m_phase >= 1.0)
            m_phase -= 1.0;
        return static_cast<float>(v);
    }

private:
    double m_phase = 0;
};

/// Sine oscillator whose frequency may glide.
class Sine {
public:
    float operator()(double hz) {
        const double v = std::sin(m_phase);
        m_phase = std::fmod(m_phase + TWO_PI * hz / RATE, TWO_PI);
        return static_cast<float>(v);
    }

private:
    double m_phase = 0;
};

/// Six detuned square waves: the clangy core of cymbals and hats.
float metalTone(double t) {
    static constexpr std::array<double, 6> HZ = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    float sum = 0;
    for (double hz : HZ)
        sum += std::fmod(t * hz * 2.3, 1.0) < 0.5 ? 1.0f : -1.0f;
    return sum / 6.0f;
}

/// Short linear fade to silence over the last `seconds`.
void fadeOut(Buffer& b, double seconds) {
    const long n = std::min<long>(samples(seconds), static_cast<long>(b.size()));
    for (long i = 0; i < n; ++i)
        b[b.size() - 1 - i] *= static_cast<float>(i) / n;
}

float peakOf(const Buffer& b) {
    float peak = 0;
    for (float v : b)
        peak = std::max(peak, std::abs(v));
    return peak;
}

void normalize(Buffer& b, float peak) {
    const float now = peakOf(b);
    if (now > 0)
        for (float& v : b)
            v *= peak / now;
}

// ---------------------------------------------------------------- instruments

/// Kick drum: a sine that drops from a knock to a low boom, with a click on top.
Buffer kickDrum(double seconds, double boomHz, double decay) {
    Buffer out(samples(seconds));
    Noise noise(1);
    Biquad click(Biquad::HIGH, 1800, 0.7);
    Sine body;
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double hz = boomHz + 110.0 * std::exp(-t / 0.035);
        const double v =
            body(hz) * std::exp(-t / decay) + 0.5 * click(noise.next()) * std::exp(-t / 0.004);
        out[i] = static_cast<float>(std::tanh(1.6 * v));
    }
    fadeOut(out, 0.03);
    return out;
}

/// Tom: a pitched membrane with a second, inharmonic mode and a stick thud.
Buffer tom() {
    Buffer out(samples(0.5));
    Noise noise(2);
    Biquad thud(Biquad::BAND, 900, 1.2);
    Sine low, high;
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double hz = 112.0 + 70.0 * std::exp(-t / 0.08);
        const double body =
            low(hz) * std::exp(-t / 0.2) + 0.35 * high(hz * 1.59) * std::exp(-t / 0.09);
        out[i] = static_cast<float>(
            std::tanh(1.3 * (body + 0.5 * thud(noise.next()) * std::exp(-t / 0.015))));
    }
    fadeOut(out, 0.04);
    return out;
}

/// Snare or clap: band-passed noise in one or more quick bursts, with an optional
/// drum body tone.
Buffer noiseHit(double seconds, double bandHz, double decay, int bursts, double body,
                uint32_t seed) {
    Buffer out(samples(seconds));
    Noise noise(seed);
    Biquad band(Biquad::BAND, bandHz, 0.6);
    Biquad air(Biquad::HIGH, 900, 0.7);
    Sine shell, ring;
    const double burstGap = 0.011;
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double sinceBurst =
            t < burstGap * (bursts - 1) ? std::fmod(t, burstGap) : t - burstGap * (bursts - 1);
        const double env = t < burstGap * (bursts - 1) ? std::exp(-sinceBurst / 0.004)
                                                       : std::exp(-sinceBurst / decay);
        const double rattle = air(band(noise.next())) * env;
        const double tone = body * (0.7 * shell(185) * std::exp(-t / 0.05) +
                                    0.3 * ring(330) * std::exp(-t / 0.035));
        out[i] = static_cast<float>(std::tanh(1.5 * (2.5 * rattle + tone)));
    }
    fadeOut(out, 0.03);
    return out;
}

/// Cymbal, crash or hat: metal tone and noise, high-passed, with a given ring time.
Buffer metal(double seconds, double decay, double highHz, uint32_t seed) {
    Buffer out(samples(seconds));
    Noise noise(seed);
    Biquad high1(Biquad::HIGH, highHz, 0.7), high2(Biquad::HIGH, highHz, 0.7);
    Biquad sheen(Biquad::BAND, 9000, 0.8);
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double attack = std::min(1.0, t / 0.0015);
        const double v =
            high2(high1(metalTone(t) + 0.6f * noise.next())) + 0.5 * sheen(noise.next());
        out[i] = static_cast<float>(attack * std::exp(-t / decay) * v);
    }
    fadeOut(out, std::min(0.05, seconds / 4));
    return out;
}

/// Count-in stick: two cosine partials that start at their crest, so the onset is sharp.
Buffer stickClick() {
    Buffer out(samples(0.09));
    Noise noise(7);
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double tone = std::cos(TWO_PI * 2400.0 * t) + 0.5 * std::cos(TWO_PI * 3700.0 * t);
        out[i] = static_cast<float>((0.65 * tone + 0.35 * noise.next()) * std::exp(-t / 0.014));
    }
    fadeOut(out, 0.02);
    return out;
}

/// Plucked synth note: a sawtooth through a closing low-pass, for bass and lead.
Buffer pluck(int note, double seconds, double decay, double brightHz, double subLevel) {
    const double hz = midiHz(note);
    Buffer out(samples(seconds + 0.03));
    Saw saw;
    Sine sub;
    Smoother filter;
    const long held = samples(seconds);
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double cutoff = hz * 1.5 + brightHz * std::exp(-t / (decay * 0.6));
        const double attack = std::min(1.0, t / 0.004);
        const double release = i < held ? 1.0 : 1.0 - timeOf(i - held) / 0.03;
        const double env = attack * release * (0.35 + 0.65 * std::exp(-t / decay));
        out[i] = static_cast<float>(env * (filter(saw(hz), cutoff) + subLevel * sub(hz)));
    }
    return out;
}

/// Soft pad voice: two slightly detuned sawtooths, slow attack, gentle release.
Buffer padVoice(int note, double seconds, double fade) {
    const double hz = midiHz(note);
    const double release = 0.25;
    Buffer out(samples(seconds + release));
    Saw a, b;
    Smoother filter;
    for (long i = 0; i < static_cast<long>(out.size()); ++i) {
        const double t = timeOf(i);
        const double attack = std::min(1.0, t / 0.09);
        const double tail = t < seconds ? 1.0 : std::max(0.0, 1.0 - (t - seconds) / release);
        const double env = attack * tail * std::exp(-t / fade);
        out[i] = static_cast<float>(env * filter(0.5f * (a(hz * 1.004) + b(hz / 1.004)), 1400.0));
    }
    return out;
}

// ---------------------------------------------------------------- the backing track

// The game's chart, lane by lane (entry numbers). The track's lead line plays
// a note on the beat or half-beat of every chart note, so the melody traces
// what the player is asked to hit.
const std::array<std::span<const int>, 4> LANES = {chart::BASS_STEPS, chart::TOM_STEPS,
                                                   chart::SNARE_STEPS, chart::CYMBAL_STEPS};

/// Half-beat index (beat × 2) nearest to where a note of chart entry s is best hit:
/// (s + 62) steps of 33 ms, less the 6.5 steps before beat 0, over 12.5 steps a beat.
int chartHalfBeat(int entry) {
    return static_cast<int>(std::lround((entry + PERFECT_STEPS - 6.5) / 6.25));
}

enum class Part { COUNT_IN, INTRO, GROOVE, BREAK, DRIVE, OUTRO };

/// Bar of a beat; bars start after the count-in. The chart's passages line up
/// with these bars: its crash lands on the downbeat of bar 11, its snare runs
/// begin in bar 14.
int barOf(int beat) {
    return (beat - COUNT_IN_BEATS) / 4;
}

Part partOf(int beat) {
    if (beat < COUNT_IN_BEATS)
        return Part::COUNT_IN;
    const int bar = barOf(beat);
    if (bar < 3)
        return Part::INTRO;
    if (bar < 11)
        return Part::GROOVE;
    if (bar < 14)
        return Part::BREAK;
    if (bar < SONG_BARS - 1)
        return Part::DRIVE;
    return Part::OUTRO;
}

/// A minor: Am F C G, four voices each (lowest first), and the bass root.
struct Chord {
    std::array<int, 4> voices;
    int root;
};
constexpr std::array<Chord, 4> PROGRESSION = {{
    {{64, 69, 72, 76}, 33},  // Am
    {{65, 69, 72, 77}, 29},  // F
    {{64, 67, 72, 76}, 36},  // C
    {{62, 67, 71, 74}, 31},  // G
}};

/// The intro climbs F C G so that the chart starts on A minor; the song ends on it.
const Chord& chordOf(int beat) {
    if (beat < COUNT_IN_BEATS || partOf(beat) == Part::OUTRO)
        return PROGRESSION[0];
    return PROGRESSION[(barOf(beat) + 1) % 4];
}

/// The instruments of the track, made once.
struct Kit {
    Buffer kick = kickDrum(0.32, 50, 0.13);
    Buffer clap = noiseHit(0.3, 1200, 0.09, 3, 0.0, 11);
    Buffer closedHat = metal(0.12, 0.028, 7000, 12);
    Buffer openHat = metal(0.4, 0.14, 6500, 13);
    Buffer crash = metal(1.4, 0.5, 4000, 14);  // ends before the loop point after the last bar
    Buffer stick = stickClick();
};

/// Mixes a sound into a looping song at sample `at`; what runs past the end wraps
/// round to the start, so the loop point is seamless.
void mixAt(Buffer& song, const Buffer& sound, long at, float gain) {
    const long n = static_cast<long>(song.size());
    long pos = ((at % n) + n) % n;
    for (float v : sound) {
        song[pos] += gain * v;
        if (++pos == n)
            pos = 0;
    }
}

class Song {
public:
    /// `shift` moves every event earlier by that many samples (codec compensation).
    explicit Song(long shift) : m_shift(shift), m_song(SONG_BEATS * BEAT, 0.0f) {}

    Buffer render() {
        for (int beat = 0; beat < SONG_BEATS; ++beat) {
            drums(beat);
            bass(beat);
            if (beat >= COUNT_IN_BEATS && (beat - COUNT_IN_BEATS) % 4 == 0)
                pad(beat);
        }
        lead();
        return m_song;
    }

private:
    long at(int halfBeat) const { return FIRST_BEAT + halfBeat * HALF_BEAT - m_shift; }
    void hit(const Buffer& b, int halfBeat, float gain) { mixAt(m_song, b, at(halfBeat), gain); }

    void drums(int beat) {
        const Part part = partOf(beat);
        const int pos = (beat - COUNT_IN_BEATS) % 4;  // beat within the bar
        const int h = 2 * beat;
        switch (part) {
            case Part::COUNT_IN:
                hit(m_kit.stick, h, 0.8f);
                break;
            case Part::INTRO:
                hats(h, 0.12f, barOf(beat) == 2);
                if (barOf(beat) == 2)
                    hit(m_kit.kick, h, 0.45f);
                break;
            case Part::GROOVE:
            case Part::DRIVE:
                hats(h, 0.16f, part == Part::DRIVE && pos == 3);
                if (pos % 2 == 0)
                    hit(m_kit.kick, h, 0.6f);
                if (part == Part::DRIVE && pos == 1)
                    hit(m_kit.kick, h + 1, 0.4f);  // the "and" of two pushes the drive section
                if (pos % 2 == 1)
                    hit(m_kit.clap, h, 0.4f);
                break;
            case Part::BREAK:  // half time: one kick, one clap, hats on the beat
                if (beat == 47)
                    hit(m_kit.crash, h, 0.35f);
                hit(m_kit.closedHat, h, 0.16f);
                if (pos == 0)
                    hit(m_kit.kick, h, 0.6f);
                if (pos == 2)
                    hit(m_kit.clap, h, 0.4f);
                break;
            case Part::OUTRO:
                if (pos == 0) {
                    hit(m_kit.crash, h, 0.4f);
                    hit(m_kit.kick, h, 0.6f);
                }
                break;
        }
    }

    /// Closed hats on the beat and the half-beat, the half-beat a little louder.
    void hats(int halfBeat, float gain, bool openOffbeat) {
        hit(m_kit.closedHat, halfBeat, gain);
        hit(openOffbeat ? m_kit.openHat : m_kit.closedHat, halfBeat + 1, gain * 1.4f);
    }

    /// Bass line: long notes in the intro and break, driving half-beats elsewhere.
    void bass(int beat) {
        const Part part = partOf(beat);
        const int pos = (beat - COUNT_IN_BEATS) % 4;
        const int root = chordOf(beat).root;
        const double beatSeconds = timeOf(BEAT);
        if ((part == Part::INTRO && pos % 2 == 0) || (part == Part::BREAK && pos == 0)) {
            const double length = (part == Part::INTRO ? 2 : 4) * beatSeconds * 0.95;
            hit(pluck(root, length, 0.5, 900, 0.6), 2 * beat, 0.5f);
        } else if (part == Part::GROOVE || part == Part::DRIVE) {
            static constexpr std::array<int, 8> GROOVE_LINE = {0, 0, 12, 0, 0, 12, 0, 12};
            static constexpr std::array<int, 8> DRIVE_LINE = {0, 12, 0, 12, 0, 12, 7, 12};
            const auto& line = part == Part::GROOVE ? GROOVE_LINE : DRIVE_LINE;
            for (int half = 0; half < 2; ++half)
                hit(pluck(root + line[2 * pos + half], beatSeconds * 0.42, 0.12, 1400, 0.5),
                    2 * beat + half, 0.45f);
        } else if (part == Part::OUTRO && pos == 0) {
            hit(pluck(root, 3 * beatSeconds, 0.6, 900, 0.6), 2 * beat, 0.5f);
        }
    }

    /// A held chord for the bar; it dies away over the last bar.
    void pad(int beat) {
        const bool last = partOf(beat) == Part::OUTRO;
        const double length = timeOf(4 * BEAT) * (last ? 0.7 : 1.0);
        const float gain = partOf(beat) == Part::DRIVE ? 0.075f : 0.095f;
        for (int note : chordOf(beat).voices)
            hit(padVoice(note - 12, length, last ? 0.5 : 60.0), 2 * beat, gain);
    }

    /// Lead line: one pluck per chart note; the lane picks the chord tone, from the
    /// lowest (bass lane) to the highest (cymbal lane), and notes on the half-beat
    /// jump an octave, so runs of one lane bounce instead of droning.
    void lead() {
        for (int lane = 0; lane < 4; ++lane)
            for (int entry : LANES[lane]) {
                const int halfBeat = chartHalfBeat(entry);
                const int note = chordOf(halfBeat / 2).voices[lane] + (halfBeat % 2 == 1 ? 12 : 0);
                hit(pluck(note, 0.16, 0.09, 2600, 0.0), halfBeat, 0.3f);
            }
    }

    long m_shift;
    Buffer m_song;
    Kit m_kit;
};

// ---------------------------------------------------------------- files and the encoder

void writeWav(const fs::path& path, const Buffer& b) {
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = static_cast<uint32_t>(b.size() * 2);
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(RATE);
    u32(RATE * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    for (float v : b) {
        const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
        u16(static_cast<uint16_t>(s));
    }
}

struct Pcm {
    Buffer samples;
    uint32_t rate = 0;
    uint16_t channels = 0;
    long clipped = 0;  // samples at the 16-bit limits
};

/// Reads a 16-bit PCM WAV file; an empty result on any error.
Pcm readWav(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Pcm pcm;
    uint16_t bits = 0;
    for (size_t p = 12; p + 8 <= d.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &d[p + 4], 4);
        if (std::memcmp(&d[p], "fmt ", 4) == 0 && p + 24 <= d.size()) {
            std::memcpy(&pcm.channels, &d[p + 10], 2);
            std::memcpy(&pcm.rate, &d[p + 12], 4);
            std::memcpy(&bits, &d[p + 22], 2);
        } else if (std::memcmp(&d[p], "data", 4) == 0 && bits == 16) {
            const size_t count = std::min<size_t>(size, d.size() - p - 8) / 2;
            for (size_t i = 0; i < count; ++i) {
                int16_t s = 0;
                std::memcpy(&s, &d[p + 8 + 2 * i], 2);
                pcm.clipped += (s == 32767 || s == -32768) ? 1 : 0;
                pcm.samples.push_back(s / 32768.0f);
            }
            return pcm;
        }
        p += 8 + size + (size & 1);
    }
    return {};
}

bool run(const std::string& command) {
    if (std::system(command.c_str()) == 0)
        return true;
    std::fprintf(stderr, "gensounds: Error! Command failed: %s\n", command.c_str());
    return false;
}

std::string quoted(const fs::path& p) {
    return std::string(1, '\'').append(p.string()).append(1, '\'');
}

/// Encodes a buffer to OUT_DIR/name.mp3 and decodes it back; the decoded PCM.
Pcm encode(const Buffer& b, const std::string& name, const char* bitrate, const fs::path& outDir,
           const fs::path& workDir) {
    const fs::path wav = workDir / (name + ".wav");
    const fs::path mp3 = outDir / (name + ".mp3");
    const fs::path back = workDir / (name + "-decoded.wav");
    writeWav(wav, b);
    if (!run(std::string("lame --quiet --noreplaygain -q 2 -m m -b ") + bitrate + " " +
             quoted(wav) + " " + quoted(mp3)) ||
        !run("lame --quiet --decode " + quoted(mp3) + " " + quoted(back)))
        return {};
    return readWav(back);
}

/// Encodes a sound so that its decoded peak, what the game will play, is
/// target: the codec's overshoot differs from sound to sound, so the gain is
/// corrected from the decoded peak and the sound encoded again until it fits.
Pcm encodeAtPeak(Buffer b, float target, const std::string& name, const char* bitrate,
                 const fs::path& outDir, const fs::path& workDir) {
    normalize(b, target);
    Pcm pcm;
    for (int pass = 0; pass < 4; ++pass) {
        pcm = encode(b, name, bitrate, outDir, workDir);
        const float peak = peakOf(pcm.samples);
        if (pcm.samples.empty() || (peak <= target * 1.011f && peak >= target * 0.944f))
            break;
        for (float& v : b)
            v *= target / peak;
    }
    return pcm;
}

/// First sample of the first beat: the first sample, searching from the start,
/// that reaches a quarter of the loudest sample within 50 ms of the expected beat.
long onsetOf(const Buffer& b) {
    const long window = samples(0.05);
    float loudest = 0;
    for (long i = FIRST_BEAT - window; i < FIRST_BEAT + window && i < static_cast<long>(b.size());
         ++i)
        loudest = std::max(loudest, std::abs(b[i]));
    for (long i = 0; i < static_cast<long>(b.size()); ++i)
        if (std::abs(b[i]) >= 0.25f * loudest)
            return i;
    return -1;
}

double ms(long sampleCount) {
    return 1000.0 * sampleCount / RATE;
}

void report(const std::string& name, const Pcm& pcm, const fs::path& outDir) {
    std::printf("%-8s %7.3f s  %6.1f KiB  decoded peak %.3f (%.2f dBFS)  clipped samples %ld\n",
                name.c_str(), static_cast<double>(pcm.samples.size()) / RATE,
                static_cast<double>(fs::file_size(outDir / (name + ".mp3"))) / 1024.0,
                peakOf(pcm.samples), 20.0 * std::log10(peakOf(pcm.samples)), pcm.clipped);
}

/// Makes one drum; decoded holds what the game will play.
bool makeDrum(const std::string& name, const Buffer& sound, const fs::path& outDir,
              const fs::path& workDir, Buffer& decoded) {
    const Pcm pcm = encodeAtPeak(sound, DRUM_PEAK, name, DRUM_BITRATE, outDir, workDir);
    if (pcm.samples.empty() || pcm.rate != RATE || pcm.channels != 1)
        return false;
    report(name, pcm, outDir);
    decoded = pcm.samples;
    return pcm.clipped == 0 && pcm.samples.size() < static_cast<size_t>(samples(0.6));
}

/// Renders, encodes and measures the backing track; when the decoded first beat
/// is late or early (the encoder's start delay, where a decoder does not remove
/// it), renders again with every event moved by the measured error.
bool makeSong(const fs::path& outDir, const fs::path& workDir, Buffer& decoded) {
    long shift = 0;
    for (int pass = 1; pass <= 3; ++pass) {
        const Buffer song = Song(shift).render();
        const long sourceOnset = onsetOf(song);
        const Pcm pcm = encodeAtPeak(song, SONG_PEAK, "basement", SONG_BITRATE, outDir, workDir);
        if (pcm.samples.empty() || pcm.rate != RATE || pcm.channels != 1)
            return false;
        const long onset = onsetOf(pcm.samples);
        const long error = onset - FIRST_BEAT;
        std::printf(
            "basement pass %d: compensation %ld samples; first beat at %.3f ms in the source, "
            "%.3f ms decoded (target %.3f ms, error %+.3f ms)\n",
            pass, shift, ms(sourceOnset), ms(onset), ms(FIRST_BEAT), ms(error));
        if (std::abs(error) <= 1) {
            report("basement", pcm, outDir);
            std::printf(
                "basement: %d beats of %.1f ms = %.4f s; decoded %ld samples (expected %ld)\n",
                SONG_BEATS, ms(BEAT), timeOf(SONG_BEATS * BEAT),
                static_cast<long>(pcm.samples.size()), SONG_BEATS * BEAT);
            decoded = pcm.samples;
            return pcm.clipped == 0 && static_cast<long>(pcm.samples.size()) == SONG_BEATS * BEAT;
        }
        shift += error;
    }
    std::fprintf(stderr, "gensounds: Error! The first beat does not settle at %.1f ms.\n",
                 ms(FIRST_BEAT));
    return false;
}

/// The song as a player makes it who hits every note shift samples after the
/// middle of its perfect window: the decoded backing track from step 0 and
/// each lane's drum from each hit on, cut short by the lane's next hit (the
/// game restarts a sound that is still playing rather than mix a second copy).
Buffer playedMix(const Buffer& song, const std::array<Buffer, 4>& drums, long shift) {
    Buffer mix = song;
    for (std::size_t lane = 0; lane < LANES.size(); ++lane) {
        const std::span<const int> entries = LANES[lane];
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const long start = (entries[i] + PERFECT_STEPS) * STEP + shift;
            const long next = i + 1 < entries.size()
                                  ? (entries[i + 1] + PERFECT_STEPS) * STEP + shift
                                  : static_cast<long>(mix.size());
            const long length = std::min<long>(static_cast<long>(drums[lane].size()), next - start);
            for (long k = 0; k < length && start + k < static_cast<long>(mix.size()); ++k)
                mix[start + k] += drums[lane][k];
        }
    }
    return mix;
}

/// Prints the peak and the share of samples at full scale of the perfect
/// play's mix, and the highest peak of plays that hit every note at one
/// moment of the scoring window (GOOD_STEPS either side of the middle); true
/// when every peak stays under MIX_PEAK.
bool checkMix(const Buffer& song, const std::array<Buffer, 4>& drums) {
    const Buffer perfect = playedMix(song, drums, 0);
    const float peak = peakOf(perfect);
    const auto full = std::count_if(perfect.begin(), perfect.end(),
                                    [](float v) { return std::abs(v) >= 32767.0f / 32768.0f; });
    std::printf("mix      perfect play: peak %.3f (%.2f dBFS), %.4f %% of samples at full scale\n",
                peak, 20.0 * std::log10(peak), 100.0 * static_cast<double>(full) / perfect.size());
    float worst = peak;
    long worst_shift = 0;
    for (long shift = -GOOD_STEPS * STEP; shift <= GOOD_STEPS * STEP; shift += STEP / 4) {
        const float shifted = peakOf(playedMix(song, drums, shift));
        if (shifted > worst) {
            worst = shifted;
            worst_shift = shift;
        }
    }
    std::printf(
        "mix      hits anywhere in the scoring window: peak %.3f (%.2f dBFS), %+.1f ms "
        "from the middle\n",
        worst, 20.0 * std::log10(worst), ms(worst_shift));
    return worst < MIX_PEAK;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gensounds OUT_DIR WORK_DIR\n");
        return 2;
    }
    const fs::path outDir = argv[1];
    const fs::path workDir = argv[2];
    std::error_code ec;
    fs::create_directories(outDir, ec);
    fs::create_directories(workDir, ec);
    std::array<Buffer, 4> drums;  // in lane order
    Buffer song;
    bool ok = makeDrum("bass", kickDrum(0.45, 46, 0.22), outDir, workDir, drums[0]);
    ok = makeDrum("tom", tom(), outDir, workDir, drums[1]) && ok;
    ok = makeDrum("snare", noiseHit(0.36, 3500, 0.11, 1, 1.0, 3), outDir, workDir, drums[2]) && ok;
    ok = makeDrum("cymbal", metal(0.56, 0.2, 4500, 4), outDir, workDir, drums[3]) && ok;
    ok = makeSong(outDir, workDir, song) && ok;
    ok = ok && checkMix(song, drums);
    if (!ok)
        std::fprintf(stderr, "gensounds: Error! Some sounds failed their checks.\n");
    return ok ? 0 : 1;
}
