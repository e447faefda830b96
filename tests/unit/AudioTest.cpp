// Sounds and music on real MP3 files (test tones made with lame), and the
// resource manager's audio slots, limits and messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "Music.h"
#include "ResourceManager.h"
#include "Sound.h"

namespace {

using Status = sf::SoundSource::Status;

// Writes a 440 Hz tone of the given length as an MP3 file through lame.
void makeTone(const std::string& name, double seconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * 44100));
    for (std::size_t i = 0; i < samples.size(); i++) {
        samples[i] = static_cast<std::int16_t>(12000 * std::sin(i * 2 * M_PI * 440 / 44100));
    }
    ox_test::writeFile(name + ".raw", std::string(reinterpret_cast<const char*>(samples.data()),
                                                  samples.size() * sizeof(std::int16_t)));
    const std::string command =
        "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian "
        "-m m -b 64 " +
        name + ".raw " + name + ".mp3";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void sleepMs(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeTone("short", 0.5);
        makeTone("long", 1.0);
        ox_test::writeFile("corrupt.mp3", std::string(4096, '\x5a') + "not audio");
    }
    ox_test::LogCapture m_log{5};
};

TEST_F(AudioTest, SoundReloadsIntoItsPlayerAndASecondPlayRestarts) {
    ox::Sound sound;
    ASSERT_EQ(sound.loadSound("short.mp3"), 0);
    EXPECT_NEAR(sound.getSound()->getBuffer().getDuration().asSeconds(), 0.5, 0.06);
    sf::Sound* p_player = sound.getSound();
    ASSERT_EQ(sound.loadSound("long.mp3"), 0);
    EXPECT_EQ(sound.getSound(), p_player);
    EXPECT_NEAR(sound.getSound()->getBuffer().getDuration().asSeconds(), 1.0, 0.06);
    EXPECT_EQ(sound.loadSound("missing.mp3"), -1);
    EXPECT_EQ(sound.loadSound("corrupt.mp3"), -1);

    sound.play(false);
    sleepMs(300);
    const float first = sound.getSound()->getPlayingOffset().asSeconds();
    EXPECT_GT(first, 0.15f);
    sound.play(true);
    EXPECT_LT(sound.getSound()->getPlayingOffset().asSeconds(), 0.1f);
    EXPECT_TRUE(sound.getSound()->isLooping());
    sound.stop();
    EXPECT_EQ(sound.getSound()->getStatus(), Status::Stopped);
    EXPECT_EQ(m_log.count("Sound::play(): Playing sound."), 2);
}

TEST_F(AudioTest, MusicEndsByItselfAndABadReloadKeepsIt) {
    ox::Music music;
    ASSERT_EQ(music.loadMusic("short.mp3"), 0);
    music.play(false);
    EXPECT_FALSE(music.getMusic()->isLooping());
    for (int i = 0; i < 40 && music.getMusic()->getStatus() == Status::Playing; i++) {
        sleepMs(50);
    }
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Stopped);

    // A bad file must neither disturb the playing music nor leave it broken.
    music.play(true);
    EXPECT_EQ(music.loadMusic("corrupt.mp3"), -1);
    EXPECT_EQ(music.loadMusic("missing.mp3"), -1);
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Playing);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 0.5, 0.06);
    ASSERT_EQ(music.loadMusic("long.mp3"), 0);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 1.0, 0.06);
    music.stop();
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Stopped);
}

TEST_F(AudioTest, ResourceManagerAudioSlotsAndMessages) {
    // No sound server and no ALSA device: the audio falls back to the null
    // device, and the start-up says once that the game will be silent.
    setenv("PULSE_SERVER", "unix:/nonexistent/native", 1);
    setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    ASSERT_EQ(rm.startUp(), 0);
    EXPECT_EQ(m_log.count("RM::startUp(): Warning! No audio playback device opened: the game "
                          "will be silent."),
              1);
    EXPECT_EQ(rm.loadSound("missing.mp3", "x"), -1);
    EXPECT_EQ(rm.loadMusic("corrupt.mp3", "x"), -1);
    EXPECT_EQ(rm.loadMusic("short.mp3", ""), -1);
    for (const char* line : {"RM::loadSound(): Error! Cannot load sound from file 'missing.mp3'.",
                             "RM::loadmusic(): Error! Cannot load music from file 'corrupt.mp3'.",
                             "RM::loadMusic(): Error! Must provide label for music."}) {
        EXPECT_TRUE(m_log.contains(line)) << line;
    }

    // Failed loads leave their slot for the next one.
    for (int i = 0; i < ox::MAX_SOUNDS; i++) {
        ASSERT_EQ(rm.loadSound("short.mp3", "sound" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(rm.loadSound("short.mp3", "one too many"), -1);
    EXPECT_TRUE(m_log.contains("RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
    for (int i = 0; i < ox::MAX_MUSICS; i++) {
        ASSERT_EQ(rm.loadMusic("long.mp3", "music" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(rm.loadMusic("long.mp3", "one too many"), -1);
    EXPECT_TRUE(m_log.contains("RM::loadMusic(): Error! Unable to add more musics (max is 50)."));

    ox::Sound* p_sound = rm.getSound("sound42");
    ox::Music* p_music = rm.getMusic("music49");
    ASSERT_TRUE(p_sound && p_music);
    EXPECT_EQ(p_sound->getLabel(), "sound42");
    EXPECT_EQ(rm.getSound("drum"), nullptr);
    EXPECT_TRUE(m_log.contains("RM::getSound(): Warning! Sound 'drum' not found."));

    // Shut-down stops what plays.
    p_music->play(true);
    p_sound->play(true);
    rm.shutDown();
    EXPECT_EQ(p_music->getMusic()->getStatus(), Status::Stopped);
    EXPECT_EQ(p_sound->getSound()->getStatus(), Status::Stopped);
}

}  // namespace
