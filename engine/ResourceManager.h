#pragma once

#include <istream>
#include <list>
#include <memory>
#include <string>

#include "Frame.h"
#include "Manager.h"
#include "Music.h"
#include "Sound.h"
#include "Sprite.h"

namespace ox {

/// The most sprites the resource manager holds.
const int MAX_SPRITES = 1000;
/// The most sounds the resource manager holds.
const int MAX_SOUNDS = 100;
/// The most musics the resource manager holds.
const int MAX_MUSICS = 50;
/// Milliseconds of sound the sound server is asked to buffer for the game when
/// the audio threads run at ordinary priority. A busy machine may leave the
/// audio thread waiting this long before the sound breaks up; a drum sounds
/// about this long after it is played.
const int AUDIO_BUFFER_MS = 60;
/// Milliseconds buffered when the system raised the audio threads above
/// ordinary ones: a busy machine then no longer keeps them waiting.
const int AUDIO_RAISED_BUFFER_MS = 15;
/// The most frames a sprite file may announce; more is refused before anything
/// is allocated.
const int MAX_SPRITE_FILE_FRAMES = 100000;

/// The line counter the sprite readers share: set to 0 when a sprite file is
/// opened, advanced by the reading functions and quoted in their messages.
extern int line_number;

/// Reads one line without its '\n' (and one trailing '\r'), counting it when
/// count is true. An empty string, with a log line, when the stream is no
/// longer good.
std::string getLine(std::istream* p_file, bool count);

/// Reads the section opened by "<delimiter>" and closed by "</delimiter>".
/// The lines inside, or an empty list: with a log line on a format error,
/// without one for an empty section (the caller then fails on its own).
std::list<std::string> readData(std::istream* p_file, std::string delimiter);

/// Consumes every line that begins with token; the integer after the token
/// and one separator of the last one, or -1 when no line matches.
int matchLineInt(std::list<std::string>* p_data, const char* token);

/// Consumes every line that begins with token; the text after the token and
/// one separator of the last one, or "" when no line matches.
std::string matchLineStr(std::list<std::string>* p_data, const char* token);

/// Takes one frame of height rows of width characters and its "end" line from
/// the front of the BODY lines; the empty frame (with log lines) on error.
/// line is the file line before the frame's first row.
Frame readFrame(std::list<std::string>* p_data, int width, int height, int line);

/// Reads a sprite in the simple format from the start of the file. A new
/// sprite owned by the caller, or null with log lines.
Sprite* loadSimpleSprite(std::istream* p_file);

/// Reads a sprite in the sectioned HEADER/BODY/FOOTER format from the start of
/// the file. A new sprite owned by the caller, or null with log lines.
Sprite* loadRobustSprite(std::istream* p_file);

/// Loads and owns the game's sprites, sounds and musics, each found by label.
///
/// Load once after start-up, then refer to each resource by its label:
/// \code
/// ox::ResourceManager& resources = ox::ResourceManager::getInstance();
/// resources.loadSprite("sprites/player-spr.txt", "player");
/// resources.loadSound("sounds/snare.mp3", "snare");
/// p_player->setSprite("player");  // an object shows it from its first frame
/// resources.getSound("snare")->play();
/// \endcode
class ResourceManager : public Manager {
public:
    /// The single instance, created on first use. Its sounds and musics open the
    /// audio device, so just before, the calling thread is raised as far as the
    /// system allows (the audio library's threads inherit it) and the sound
    /// server's buffer is requested: AUDIO_RAISED_BUFFER_MS when raised, else
    /// AUDIO_BUFFER_MS, unless the environment already names one. The thread is
    /// lowered again once the device is open.
    static ResourceManager& getInstance();
    ~ResourceManager() override;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    /// Empties the three tables. The first start-up also names the audio
    /// device, or warns that none opened and the game will be silent (the
    /// device opens with the instance and stays), and warns when the audio
    /// threads could not be raised. Returns 0, or -1 when already started.
    int startUp() override;

    /// Deletes the sprites and stops every sound and music.
    void shutDown() override;

    /// Reads a sprite file of either format and registers it under label.
    /// Returns 0, or -1 on failure.
    int loadSprite(std::string filename, std::string label);

    /// Loads an audio file into the next sound slot under label. Returns 0 or -1.
    int loadSound(std::string filename, std::string label);

    /// Opens and decodes an audio file into the next music slot under label.
    /// Returns 0 or -1.
    int loadMusic(std::string filename, std::string label);

    /// The first sprite with this label, or null with a warning.
    Sprite* getSprite(std::string label) const;

    /// The first sound with this label, or null with a warning.
    Sound* getSound(std::string label);

    /// The first music with this label, or null with a warning.
    Music* getMusic(std::string label);

    /// Sprites loaded.
    int getSpriteCount() const { return m_sprite_count; }
    /// Sounds loaded.
    int getSoundCount() const { return m_sound_count; }
    /// Musics loaded.
    int getMusicCount() const { return m_music_count; }

private:
    ResourceManager();

    // Logs the loaded sprite's frames row by row (level 15).
    void logSpriteFrames(const Sprite& sprite) const;

    std::unique_ptr<Sprite> m_p_sprite[MAX_SPRITES];
    int m_sprite_count;
    Sound m_sound[MAX_SOUNDS];
    int m_sound_count;
    Music m_music[MAX_MUSICS];
    int m_music_count;
    bool m_device_reported;  ///< The audio device was named, or found missing, once.
};

}  // namespace ox
