// The built game in a real window with a sound server of the test's own:
// what the game plays is recorded from the server's null sink while the song
// runs and the bass lane's key is tapped on its notes.
#include <gtest/gtest.h>

#include <SFML/Audio/SoundBuffer.hpp>

#include <sys/wait.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ScratchDir.h"
#include "SoundServer.h"
#include "XSession.h"

namespace {

using Clock = std::chrono::steady_clock;
using Samples = std::vector<float>;
constexpr int RATE = ox_test::SoundServer::RATE;

// The play: the bass lane's first notes reach the line about 6.3 s into the
// song and come every 0.4 s, so taps 0.8 s apart from 6.5 s on mostly hit.
constexpr double FIRST_TAP_S = 6.5;
constexpr double TAP_SPACING_S = 0.8;
constexpr int TAPS = 6;
// Seconds of song recorded; ORVIX_SOUND_SECONDS may ask for more (the whole
// song, to measure), and the game then may end by itself.
constexpr double SONG_S = 12.0;

// What is judged: a run of digital silence this long inside the music is a
// dropout; the music is audible at this level (RMS, of full scale); a drum is
// found by its attack matching the recording this well (a hit's drum matched
// at 0.96 or better, over the track's own kick too; after a missed tap, the
// track alone matched at most 0.75).
constexpr long GAP_SAMPLES = RATE * 5 / 1000;
constexpr double MAX_GAP_SHARE = 0.01;
constexpr double MIN_MUSIC_RMS = 0.02;
constexpr long ATTACK_SAMPLES = RATE * 20 / 1000;
constexpr double MIN_MATCH = 0.9;
constexpr double MAX_DELAY_S = 0.3;

const std::string SOUND_PLAYED = "Sound::play(): Playing sound.";

double secondsOf(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double songSeconds() {
    const char* p_seconds = std::getenv("ORVIX_SOUND_SECONDS");
    return p_seconds != nullptr ? std::atof(p_seconds) : SONG_S;
}

// Lines of a file that contain the text.
int countLines(const std::string& path, const std::string& text) {
    std::istringstream in(ox_test::readFile(path));
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

// True while the program runs; an ended one stays to be waited for.
bool running(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

// Maps the test's clock to the recording's samples: the recorder writes each
// sample a little after the sink plays it, so the earliest start implied by
// the file's growth near a moment is the best estimate there (within a
// fragment of 5 ms; near, as the two clocks may drift apart).
class RecordingClock {
public:
    explicit RecordingClock(const std::string& path) {
        m_thread = std::thread([this, path] {
            std::uintmax_t last = 0;
            while (!m_stop) {
                std::error_code error;
                const auto bytes = std::filesystem::file_size(path, error);
                const double now = secondsOf(Clock::now() - m_origin);
                if (!error && bytes > last) {
                    const std::lock_guard<std::mutex> lock(m_mutex);
                    m_starts.push_back({now, now - bytes / 2.0 / RATE});
                    last = bytes;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~RecordingClock() {
        m_stop = true;
        m_thread.join();
    }
    /// The sample the sink played at this moment.
    long sampleAt(Clock::time_point t) const {
        const double at = secondsOf(t - m_origin);
        double start = 1e9;
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [seen, implied] : m_starts) {
            if (std::abs(seen - at) < NEAR_S) {
                start = std::min(start, implied);
            }
        }
        return std::lround((at - start) * RATE);
    }

private:
    static constexpr double NEAR_S = 1.0;
    const Clock::time_point m_origin = Clock::now();
    mutable std::mutex m_mutex;
    std::vector<std::pair<double, double>> m_starts;  ///< When seen, and the start it implies.
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Notes when each line holding a text reaches a file (the game flushes each
// line of its log), to within a millisecond.
class LineClock {
public:
    LineClock(const std::string& path, const std::string& text) {
        m_thread = std::thread([this, path, text] {
            std::string unread;  // what came after the last line seen
            std::streamoff read = 0;
            while (!m_stop) {
                std::ifstream log(path, std::ios::binary);
                log.seekg(read);
                const std::string more{std::istreambuf_iterator<char>(log), {}};
                read += static_cast<std::streamoff>(more.size());
                unread += more;
                for (std::size_t at; (at = unread.find(text)) != std::string::npos;) {
                    const std::lock_guard<std::mutex> lock(m_mutex);
                    m_seen.push_back(Clock::now());
                    unread.erase(0, at + text.size());
                }
                if (unread.size() > text.size()) {
                    unread.erase(0, unread.size() - text.size());
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~LineClock() {
        m_stop = true;
        m_thread.join();
    }
    /// When the first line after t was seen, if one was.
    std::optional<Clock::time_point> firstAfter(Clock::time_point t) const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const Clock::time_point seen : m_seen) {
            if (seen >= t) {
                return seen;
            }
        }
        return std::nullopt;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Clock::time_point> m_seen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// ---- The game, played through the X server ----

// Waits until the log holds the text count times; false if the game ended.
bool waitForLog(pid_t game, const std::string& text, int count = 1) {
    for (int i = 0; i < 6000; i++) {
        if (countLines("orvix.log", text) >= count) {
            return true;
        }
        if (!running(game)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Gives the game's window the keyboard; false when it does not open.
bool focusWindow(pid_t game) {
    for (int i = 0; i < 200 && running(game); i++) {
        if (ox_test::xdotool("search --name '^Orvix$' windowraise windowfocus --sync")) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// ---- The recording ----

Samples readRecording(const std::string& path) {
    const std::string bytes = ox_test::readFile(path);
    Samples samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); i++) {
        std::int16_t s;
        std::copy_n(bytes.data() + 2 * i, 2, reinterpret_cast<char*>(&s));
        samples[i] = s / 32768.0f;
    }
    return samples;
}

// A sound file as mono samples (its channels averaged), at RATE.
Samples decode(const std::string& path) {
    sf::SoundBuffer buffer;
    if (!buffer.loadFromFile(path) || buffer.getSampleRate() != RATE) {
        return {};
    }
    const unsigned channels = buffer.getChannelCount();
    Samples samples(buffer.getSampleCount() / channels);
    for (std::size_t i = 0; i < samples.size(); i++) {
        for (unsigned c = 0; c < channels; c++) {
            samples[i] += buffer.getSamples()[i * channels + c] / 32768.0f / channels;
        }
    }
    return samples;
}

long firstSound(const Samples& s) {
    return std::find_if(s.begin(), s.end(), [](float v) { return v != 0; }) - s.begin();
}

// One past the last sound before a sample.
long lastSound(const Samples& s, long before) {
    long end = std::min<long>(before, s.size());
    while (end > 0 && s[end - 1] == 0) {
        end--;
    }
    return end;
}

struct Gaps {
    long samples = 0;   ///< In runs of digital silence of GAP_SAMPLES or more.
    int count = 0;      ///< Such runs.
    long last_end = 0;  ///< Where the last one ended.
};

Gaps silences(const Samples& s, long from, long to) {
    Gaps gaps;
    for (long i = from, run = 0; i < to; i++) {
        run = s[i] == 0 ? run + 1 : 0;
        const bool ends = run > 0 && (i + 1 == to || s[i + 1] != 0);
        if (ends && run >= GAP_SAMPLES) {
            gaps = {gaps.samples + run, gaps.count + 1};
        }
    }
    return gaps;
}

// The dropouts of the music recorded from onset to end: its silences beyond
// the track's own (its count-in has some) over the part of the track that
// played, which is shorter than the recording by the dropouts.
Gaps dropouts(const Samples& rec, long onset, long end, const Samples& track) {
    const Gaps heard = silences(rec, onset, end);
    const long track_onset = firstSound(track);
    Gaps own;
    long played = end - onset;
    for (int i = 0; i < 2; i++) {
        own = silences(track, track_onset, std::min<long>(track.size(), track_onset + played));
        played = end - onset - std::max(0L, heard.samples - own.samples);
    }
    return {heard.samples - own.samples, heard.count - own.count};
}

double rms(const Samples& s, long from, long to) {
    double sum = 0;
    for (long i = from; i < to; i++) {
        sum += s[i] * s[i];
    }
    return to > from ? std::sqrt(sum / (to - from)) : 0;
}

// How well the sound's attack matches the recording at a sample (normalised
// cross-correlation, 1 for a perfect match at any level).
double matchAt(const Samples& rec, const Samples& attack, long at) {
    double product = 0, rec_energy = 0, attack_energy = 0;
    for (std::size_t j = 0; j < attack.size(); j++) {
        product += rec[at + j] * attack[j];
        rec_energy += rec[at + j] * rec[at + j];
        attack_energy += attack[j] * attack[j];
    }
    return rec_energy > 0 ? product / std::sqrt(rec_energy * attack_energy) : 0;
}

struct Onset {
    long at = 0;
    double match = 0;
};

// Where in [from, to) the sound's attack matches the recording best.
Onset findSound(const Samples& rec, const Samples& attack, long from, long to) {
    Onset best;
    to = std::min<long>(to, static_cast<long>(rec.size() - attack.size()));
    for (long at = std::max(from, 0L); at < to; at++) {
        const double match = matchAt(rec, attack, at);
        if (match > best.match) {
            best = {at, match};
        }
    }
    return best;
}

TEST(GameSound, MusicPlaysWithoutDropoutsAndADrumFollowsEachHit) {
    ox_test::PrivateXServer x_server;
    ASSERT_TRUE(x_server.ok());
    ox_test::ScratchDir dir;
    ox_test::SoundServer sound_server(dir.path());
    ASSERT_TRUE(sound_server.ok()) << ox_test::readFile("server.err");
    std::filesystem::copy(ORVIX_RUN_DIR, dir.path(), std::filesystem::copy_options::recursive);
    ox_test::writeFile("ox-config.txt", ox_test::readFile("ox-config.txt") + "networking:false,\n");
    ASSERT_TRUE(sound_server.startRecording("song.raw"));
    const RecordingClock recording_clock("song.raw");

    // The start screen, P, and the bass key tapped on the notes.
    const pid_t game = ox_test::startProgram({"./rhythm"}, "stdout.txt", "stderr.txt");
    const LineClock plays("orvix.log", SOUND_PLAYED);
    ASSERT_TRUE(focusWindow(game));
    ox_test::xdotool("key space");
    ASSERT_TRUE(waitForLog(game, "Looking for sprite 'gamestart'."));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ox_test::xdotool("key p");
    ASSERT_TRUE(waitForLog(game, "Music::play(): Playing music."));
    const Clock::time_point song_start = Clock::now();
    const auto song_time = [&](double s) {
        return song_start +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
    };
    std::vector<Clock::time_point> taps;
    for (int i = 0; i < TAPS; i++) {
        std::this_thread::sleep_until(song_time(FIRST_TAP_S + i * TAP_SPACING_S));
        taps.push_back(Clock::now());
        ox_test::xdotool("key z");
    }
    while (running(game) && Clock::now() < song_time(songSeconds())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const long quit_at = recording_clock.sampleAt(Clock::now());
    ox_test::xdotool("key q");
    int status = -1;
    waitpid(game, &status, 0);
    sound_server.stopRecording();
    ASSERT_EQ(status, 0) << ox_test::readFile("stderr.txt");
    EXPECT_EQ(countLines("orvix.log", "Warning! No audio playback device"), 0);

    // The music: audible, and without dropouts.
    const Samples rec = readRecording("song.raw");
    const Samples track = decode("sounds/basement.mp3");
    ASSERT_FALSE(track.empty());
    const long from = firstSound(rec);
    const long song_end = lastSound(rec, quit_at);
    ASSERT_LT(from + RATE, song_end) << "no music";
    const Gaps gaps = dropouts(rec, from, song_end, track);
    const double gap_share = static_cast<double>(gaps.samples) / (song_end - from);
    EXPECT_GT(rms(rec, from, song_end), MIN_MUSIC_RMS);
    EXPECT_LT(gap_share, MAX_GAP_SHARE) << gaps.count << " dropouts";
    // The music and the drums together never reach full scale.
    EXPECT_EQ(std::count_if(rec.begin(), rec.end(),
                            [](float v) { return std::abs(v) >= 32767.0f / 32768.0f; }),
              0);

    // Each hit is followed by the bass drum, soon; a tap that missed is not.
    const Samples drum = decode("sounds/bass.mp3");
    ASSERT_GE(drum.size(), static_cast<std::size_t>(ATTACK_SAMPLES));
    const Samples attack(drum.begin() + firstSound(drum),
                         drum.begin() + firstSound(drum) + ATTACK_SAMPLES);
    // Where the time goes: the key (sent by a new xdotool process) to the
    // game's play line, and that line to the drum in the recording.
    std::vector<double> delays_ms, to_play_ms, play_to_drum_ms;
    for (const Clock::time_point tap : taps) {
        const long at = recording_clock.sampleAt(tap);
        const Onset drum_onset = findSound(rec, attack, at, at + std::lround(MAX_DELAY_S * RATE));
        if (drum_onset.match >= MIN_MATCH) {
            delays_ms.push_back((drum_onset.at - at) * 1000.0 / RATE);
            if (const auto played = plays.firstAfter(tap)) {
                to_play_ms.push_back(secondsOf(*played - tap) * 1000);
                play_to_drum_ms.push_back((drum_onset.at - recording_clock.sampleAt(*played)) *
                                          1000.0 / RATE);
            }
        }
    }
    const int hits = countLines("orvix.log", SOUND_PLAYED);
    EXPECT_GE(hits, TAPS / 2);
    EXPECT_EQ(static_cast<int>(delays_ms.size()), hits);
    ASSERT_FALSE(delays_ms.empty());
    std::sort(delays_ms.begin(), delays_ms.end());
    std::printf(
        "music %.1f s: %d dropouts, %.2f%% silent; %d hits, key to drum %.0f/%.0f/%.0f ms\n",
        (song_end - from) / double(RATE), gaps.count, 100 * gap_share, hits, delays_ms.front(),
        delays_ms[delays_ms.size() / 2], delays_ms.back());
    std::printf("median: key to play line %.0f ms, play line to drum %.0f ms\n", median(to_play_ms),
                median(play_to_drum_ms));
}

}  // namespace
