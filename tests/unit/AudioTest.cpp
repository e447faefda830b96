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

const int RATE = 44100;

// Writes a sine tone of the given length as an MP3 file through lame.
void makeTone(const std::string& name, double seconds, double frequency) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * RATE));
    for (std::size_t i = 0; i < samples.size(); i++) {
        samples[i] = static_cast<std::int16_t>(
            12000 * std::sin(2 * M_PI * frequency * static_cast<double>(i) / RATE));
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
        makeTone("short", 0.5, 440);
        makeTone("long", 1.0, 660);
        ox_test::writeFile("corrupt.mp3", std::string(4096, '\x5a') + "not audio");
    }
    ox_test::LogCapture m_log{5};
};

TEST_F(AudioTest, SoundLoadsWithItsDurationAndReusesItsPlayer) {
    ox::Sound sound;
    EXPECT_EQ(sound.getLabel(), "[Undefined]");
    EXPECT_EQ(sound.getSound(), nullptr);
    ASSERT_EQ(sound.loadSound("short.mp3"), 0);
    EXPECT_NEAR(sound.getSound()->getBuffer().getDuration().asSeconds(), 0.5, 0.06);
    sf::Sound* p_player = sound.getSound();

    // A second file goes into the same buffer and the same player.
    ASSERT_EQ(sound.loadSound("long.mp3"), 0);
    EXPECT_EQ(sound.getSound(), p_player);
    EXPECT_NEAR(sound.getSound()->getBuffer().getDuration().asSeconds(), 1.0, 0.06);

    EXPECT_EQ(sound.loadSound("missing.mp3"), -1);
    EXPECT_EQ(sound.loadSound("corrupt.mp3"), -1);
}

TEST_F(AudioTest, SecondPlayRestartsTheSound) {
    ox::Sound sound;
    ASSERT_EQ(sound.loadSound("long.mp3"), 0);
    sound.play(false);
    sleepMs(300);
    const float first = sound.getSound()->getPlayingOffset().asSeconds();
    EXPECT_GT(first, 0.15f);
    EXPECT_EQ(sound.getSound()->getStatus(), sf::SoundSource::Status::Playing);
    sound.play(true);
    EXPECT_LT(sound.getSound()->getPlayingOffset().asSeconds(), first);
    EXPECT_LT(sound.getSound()->getPlayingOffset().asSeconds(), 0.1f);
    EXPECT_TRUE(sound.getSound()->isLooping());
    sound.stop();
    EXPECT_EQ(sound.getSound()->getStatus(), sf::SoundSource::Status::Stopped);
    EXPECT_EQ(m_log.count("Sound::play(): Playing sound."), 2);
}

TEST_F(AudioTest, UnloadedSoundOnlyLogs) {
    ox::Sound sound;
    const std::size_t lines = m_log.messages().size();
    sound.play(true);
    sound.stop();
    const std::vector<std::string> messages = m_log.messages();
    ASSERT_EQ(messages.size(), lines + 1);
    EXPECT_EQ(messages.back(), "Sound::play(): Playing sound.");
}

TEST_F(AudioTest, MusicPlaysOnceAndRestartsAfterStop) {
    ox::Music music;
    EXPECT_EQ(music.getLabel(), "[Undefined]");
    ASSERT_EQ(music.loadMusic("short.mp3"), 0);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 0.5, 0.06);
    music.play(false);
    EXPECT_FALSE(music.getMusic()->isLooping());
    sleepMs(200);
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Playing);
    music.stop();
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Stopped);
    music.play(false);
    EXPECT_LT(music.getMusic()->getPlayingOffset().asSeconds(), 0.1f);
    // Played once, it ends by itself.
    for (int i = 0; i < 40 && music.getMusic()->getStatus() == sf::SoundSource::Status::Playing;
         i++) {
        sleepMs(50);
    }
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Stopped);
    EXPECT_TRUE(m_log.contains("Music::play(): Playing music."));
    EXPECT_TRUE(m_log.contains("Music::stop(): Stopping music."));
}

TEST_F(AudioTest, FailedReloadKeepsTheMusicAndLaterReloadReplacesIt) {
    ox::Music music;
    ASSERT_EQ(music.loadMusic("short.mp3"), 0);
    music.play(true);
    // A bad file must neither disturb the playing music nor leave it broken.
    EXPECT_EQ(music.loadMusic("corrupt.mp3"), -1);
    EXPECT_EQ(music.loadMusic("missing.mp3"), -1);
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Playing);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 0.5, 0.06);
    ASSERT_EQ(music.loadMusic("long.mp3"), 0);
    EXPECT_NEAR(music.getMusic()->getDuration().asSeconds(), 1.0, 0.06);
    music.play(false);
    sleepMs(100);
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Playing);
    music.stop();
    EXPECT_EQ(music.getMusic()->getStatus(), sf::SoundSource::Status::Stopped);
}

TEST_F(AudioTest, ResourceManagerAudioSlotsAndMessages) {
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    ASSERT_EQ(rm.startUp(), 0);
    EXPECT_EQ(rm.loadSound("missing.mp3", "x"), -1);
    EXPECT_TRUE(
        m_log.contains("RM::loadSound(): Error! Cannot load sound from file 'missing.mp3'."));
    EXPECT_EQ(rm.loadSound("corrupt.mp3", "x"), -1);
    EXPECT_TRUE(
        m_log.contains("RM::loadSound(): Error! Cannot load sound from file 'corrupt.mp3'."));
    EXPECT_EQ(rm.loadMusic("corrupt.mp3", "x"), -1);
    EXPECT_TRUE(
        m_log.contains("RM::loadmusic(): Error! Cannot load music from file 'corrupt.mp3'."));
    EXPECT_EQ(rm.loadMusic("short.mp3", ""), -1);
    EXPECT_TRUE(m_log.contains("RM::loadMusic(): Error! Must provide label for music."));
    EXPECT_EQ(rm.getSoundCount(), 0);
    EXPECT_EQ(rm.getMusicCount(), 0);

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
    EXPECT_TRUE(m_log.contains("RM::loadSound(): Sound 'sound99' successfully loaded."));
    EXPECT_TRUE(m_log.contains("RM::loadMusic(): Music 'music49' successfully loaded."));

    ox::Sound* p_sound = rm.getSound("sound42");
    ASSERT_NE(p_sound, nullptr);
    EXPECT_EQ(p_sound->getLabel(), "sound42");
    EXPECT_TRUE(m_log.contains("RM::getSound(): Looking for sound 'sound42'."));
    EXPECT_EQ(rm.getSound("drum"), nullptr);
    EXPECT_TRUE(m_log.contains("RM::getSound(): Warning! Sound 'drum' not found."));
    ox::Music* p_music = rm.getMusic("music7");
    ASSERT_NE(p_music, nullptr);
    EXPECT_EQ(rm.getMusic("song"), nullptr);
    EXPECT_TRUE(m_log.contains("RM::getMusic(): Warning! Music 'song' not found."));

    // Shut-down stops what plays.
    p_music->play(true);
    p_sound->play(true);
    rm.shutDown();
    EXPECT_EQ(p_music->getMusic()->getStatus(), sf::SoundSource::Status::Stopped);
    EXPECT_EQ(p_sound->getSound()->getStatus(), sf::SoundSource::Status::Stopped);
    EXPECT_TRUE(m_log.contains("RM::shutDown(): successfully stopped."));
}

TEST_F(AudioTest, TheGamesSoundsLoad) {
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    ASSERT_EQ(rm.startUp(), 0);
    const std::string sounds = std::string(ORVIX_RUN_DIR) + "/sounds/";
    for (const char* name : {"bass", "tom", "snare", "cymbal"}) {
        EXPECT_EQ(rm.loadSound(sounds + name + ".mp3", name), 0) << name;
    }
    EXPECT_EQ(rm.loadMusic(sounds + "basement.mp3", "music"), 0);
    EXPECT_GT(rm.getMusic("music")->getMusic()->getDuration().asSeconds(), 10.0f);
    rm.shutDown();
}

}  // namespace
