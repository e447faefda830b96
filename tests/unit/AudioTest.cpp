// Sounds and music on real sound files (test tones), and the
// resource manager's audio slots, limits and messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Audio/SoundBuffer.hpp>

#include "LogCapture.h"
#include "Music.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "Sound.h"

namespace {

using Status = sf::SoundSource::Status;

// Writes a 440 Hz tone of the given length as a WAV file.
void makeTone(const std::string& name, double seconds) {
    constexpr unsigned RATE = 44100;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * RATE));
    for (std::size_t i = 0; i < samples.size(); i++) {
        samples[i] =
            static_cast<std::int16_t>(12000 * std::sin(i * 2 * std::numbers::pi * 440 / RATE));
    }
    const sf::SoundBuffer tone(samples.data(), samples.size(), 1, RATE, {sf::SoundChannel::Mono});
    ASSERT_TRUE(tone.saveToFile(name + ".wav")) << name;
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
    ASSERT_EQ(sound.loadSound("short.wav"), 0);
    EXPECT_NEAR(sound.getSound()->getBuffer().getDuration().asSeconds(), 0.5, 0.06);
    sf::Sound* p_player = sound.getSound();
    ASSERT_EQ(sound.loadSound("long.wav"), 0);
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
    ASSERT_EQ(music.loadMusic("short.wav"), 0);
    music.play(false);
    EXPECT_FALSE(music.getMusic()->isLooping());
    for (int i = 0; i < 40 && music.getMusic()->getStatus() == Status::Playing; i++) {
        sleepMs(50);
    }
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Stopped);

    // A bad file must neither disturb the playing music nor leave it broken.
    music.play(true);
    EXPECT_TRUE(music.getMusic()->isLooping());
    EXPECT_EQ(music.loadMusic("corrupt.mp3"), -1);
    EXPECT_EQ(music.loadMusic("missing.mp3"), -1);
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Playing);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 0.5, 0.06);
    ASSERT_EQ(music.loadMusic("long.wav"), 0);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 1.0, 0.06);
    music.stop();
    EXPECT_EQ(music.getMusic()->getStatus(), Status::Stopped);
}

TEST_F(AudioTest, MusicIsDecodedWholeWithItsRateAndChannels) {
    const std::vector<std::int16_t> samples(2 * (22050 * 3 / 4), 1000);  // 0.75 s of stereo
    const sf::SoundBuffer stereo(samples.data(), samples.size(), 2, 22050,
                                 {sf::SoundChannel::FrontLeft, sf::SoundChannel::FrontRight});
    ASSERT_TRUE(stereo.saveToFile("stereo.wav"));
    ox::Music music;
    ASSERT_EQ(music.loadMusic("stereo.wav"), 0);
    ox_test::writeFile("stereo.wav", "");  // it plays on from what was decoded
    const sf::Music& played = *music.getMusic();
    EXPECT_EQ(played.getChannelCount(), 2u);
    EXPECT_EQ(played.getSampleRate(), 22050u);
    EXPECT_NEAR(played.getDuration().asSeconds(), 0.75, 0.01);
    music.play(false);
    sleepMs(300);
    EXPECT_EQ(played.getStatus(), Status::Playing);
    EXPECT_GT(played.getPlayingOffset().asSeconds(), 0.1f);
    music.stop();
}

TEST_F(AudioTest, ResourceManagerAudioSlotsAndMessages) {
    // No sound server and no ALSA device: the audio falls back to the null
    // device, and the start-up says once that the game will be silent.
    ox::platform::setEnvironment("PULSE_SERVER", "unix:/nonexistent/native", true);
    ox::platform::setEnvironment("ALSA_CONFIG_PATH", "/dev/null", true);
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    ASSERT_EQ(rm.startUp(), 0);
    // Where the sound system does not read its server from the process's
    // environment (under Wine), the device opens all the same, and is named.
    const bool opened = m_log.containsPart("RM::startUp(): Playing audio on '");
    EXPECT_EQ(m_log.count("RM::startUp(): Warning! No audio playback device opened: the game "
                          "will be silent."),
              opened ? 0 : 1);
    EXPECT_EQ(rm.loadSound("missing.mp3", "x"), -1);
    EXPECT_EQ(rm.loadMusic("corrupt.mp3", "x"), -1);
    EXPECT_EQ(rm.loadMusic("short.wav", ""), -1);
    for (const char* line : {"RM::loadSound(): Error! Cannot load sound from file 'missing.mp3'.",
                             "RM::loadmusic(): Error! Cannot load music from file 'corrupt.mp3'.",
                             "RM::loadMusic(): Error! Must provide label for music."}) {
        EXPECT_TRUE(m_log.contains(line)) << line;
    }

    // Failed loads leave their slot for the next one.
    for (int i = 0; i < ox::MAX_SOUNDS; i++) {
        ASSERT_EQ(rm.loadSound("short.wav", "sound" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(rm.loadSound("short.wav", "one too many"), -1);
    EXPECT_TRUE(m_log.contains("RM::loadSound(): Error! Unable to add more sounds (max is 100)."));
    for (int i = 0; i < ox::MAX_MUSICS; i++) {
        ASSERT_EQ(rm.loadMusic("long.wav", "music" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(rm.loadMusic("long.wav", "one too many"), -1);
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
