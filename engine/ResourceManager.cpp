#include "ResourceManager.h"

#include <SFML/Audio/PlaybackDevice.hpp>

#include <cstdlib>
#include <fstream>
#include <new>
#include <optional>

#include "Color.h"
#include "LogManager.h"
#include "Platform.h"

namespace ox {

int line_number = 0;

namespace {

// The keywords of the sprite files, indexed by Color value.
const char* const COLOR_KEYWORDS[] = {"black", "red",     "green", "yellow",
                                      "blue",  "magenta", "cyan",  "white"};

// The Color of a keyword, or -1 when it is none of the eight.
int keywordToColor(const std::string& keyword) {
    for (int i = BLACK; i <= WHITE; i++) {
        if (keyword == COLOR_KEYWORDS[i]) {
            return i;
        }
    }
    return -1;
}

bool resourceManagerStarted() {
    ResourceManager& rm = ResourceManager::getInstance();
    if (!rm.isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", rm.getType().c_str());
        return false;
    }
    return true;
}

// ---- The simple format ----

// One of the five header lines of the simple format, read, logged and tested
// for the end of the file. Empty when the file ended (after the log lines).
std::string simpleHeaderLine(std::istream* p_file, const char* missing) {
    LogManager& log = LogManager::getInstance();
    std::string line = getLine(p_file, true);
    log.writeLog(20, "\tLine %2d: '%s'", line_number, line.c_str());
    if (line.empty()) {
        log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
        log.writeLog("%s", missing);
    }
    return line;
}

struct SimpleHeader {
    int frames = 0;
    int width = 0;
    int height = 0;
    int slowdown = 0;
    Color color = WHITE;
};

// Reads and checks the five header lines. 0, or -1 after the log lines.
int readSimpleHeader(std::istream* p_file, SimpleHeader& header) {
    LogManager& log = LogManager::getInstance();
    std::string line = simpleHeaderLine(p_file, "\tMissing frames (an integer).");
    if (line.empty()) {
        return -1;
    }
    header.frames = std::atoi(line.c_str());
    if (header.frames < 1) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d! Number of frames is %d.", line_number,
                     header.frames);
        return -1;
    }
    line = simpleHeaderLine(p_file, "\tMissing width (an integer).");
    if (line.empty()) {
        return -1;
    }
    header.width = std::atoi(line.c_str());
    if (header.width < 1) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d! Width is '%s'.", line_number,
                     line.c_str());
        return -1;
    }
    line = simpleHeaderLine(p_file, "\tMissing height (an integer).");
    if (line.empty()) {
        return -1;
    }
    header.height = std::atoi(line.c_str());
    if (header.height < 1) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d! Height is '%s'.", line_number,
                     line.c_str());
        return -1;
    }
    line = simpleHeaderLine(p_file, "\tMissing slowdown (an integer).");
    if (line.empty()) {
        return -1;
    }
    header.slowdown = std::atoi(line.c_str());
    if (header.slowdown < 0) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d! Slowdown is '%s'.", line_number,
                     line.c_str());
        return -1;
    }
    line = simpleHeaderLine(p_file, "\tMissing color (a string).");
    if (line.empty()) {
        return -1;
    }
    const int color = keywordToColor(line);
    if (color < 0) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d! Unrecognized color '%s'.", line_number,
                     line.c_str());
        log.writeLog("  Valid colors are: black, red, green, yellow,");
        log.writeLog("                    blue, magenta, cyan or white.");
        return -1;
    }
    header.color = static_cast<Color>(color);
    return 0;
}

// The bytes between the read position and the end of the file, or -1 when
// the stream cannot tell. The read position is left where it was.
long long remainingBytes(std::istream* p_file) {
    if (p_file->eof()) {
        return 0;
    }
    const std::streampos here = p_file->tellg();
    if (here == std::streampos(-1)) {
        return -1;
    }
    p_file->seekg(0, std::ios::end);
    const std::streampos end = p_file->tellg();
    p_file->seekg(here);
    if (end == std::streampos(-1) || !p_file->good()) {
        p_file->clear();
        p_file->seekg(here);
        return -1;
    }
    return static_cast<long long>(end - here);
}

// Refuses a frame count the file cannot hold before the sprite is allocated:
// every row takes width characters and a newline (the last newline may be
// missing), so a header cannot make a small file reserve a huge sprite.
int checkSimpleFrameCount(std::istream* p_file, const SimpleHeader& header) {
    LogManager& log = LogManager::getInstance();
    if (header.frames > MAX_SPRITE_FILE_FRAMES) {
        log.writeLog(
            "RM::loadSimpleSprite(): Error line %d! Number of frames %d is beyond the "
            "limit of %d.",
            line_number, header.frames, MAX_SPRITE_FILE_FRAMES);
        return -1;
    }
    const long long remaining = remainingBytes(p_file);
    if (remaining < 0) {
        return 0;
    }
    const long long frame_bytes =
        static_cast<long long>(header.height) * (static_cast<long long>(header.width) + 1);
    if (header.frames > (remaining + 1) / frame_bytes) {
        log.writeLog(
            "RM::loadSimpleSprite(): Error line %d! %d frames of %d x %d cannot fit in "
            "the %lld bytes left.",
            line_number, header.frames, header.width, header.height, remaining);
        return -1;
    }
    return 0;
}

// Reads the rows of frame f (from 1) into frame_str. 0, or -1 after the log lines.
int readSimpleFrame(std::istream* p_file, const SimpleHeader& header, int f,
                    std::string& frame_str) {
    LogManager& log = LogManager::getInstance();
    for (int row = 1; row <= header.height; row++) {
        const std::string line = getLine(p_file, true);
        if (line.empty()) {
            log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
            log.writeLog("\tReading frame %d of %d, row %d of %d.", f, header.frames, row,
                         header.height);
            return -1;
        }
        if (static_cast<long long>(line.size()) != header.width) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d!", line_number);
            log.writeLog("\tLine %2d: '%s'", line_number, line.c_str());
            log.writeLog("\tWidth is %d, expected %d.", static_cast<int>(line.size()),
                         header.width);
            return -1;
        }
        log.writeLog(20, "\tLine %2d: '%s'", line_number, line.c_str());
        frame_str += line;
    }
    return 0;
}

// Reads every frame into the sprite and checks the end of the file.
// 0, or -1 after the log lines.
int readSimpleBody(std::istream* p_file, const SimpleHeader& header, Sprite& sprite) {
    LogManager& log = LogManager::getInstance();
    for (int f = 1; f <= header.frames; f++) {
        log.writeLog(15, "RM::loadSimpleSprite(): Reading frame %d of %d.", f, header.frames);
        std::string frame_str;
        if (readSimpleFrame(p_file, header, f, frame_str) != 0) {
            return -1;
        }
        if (sprite.addFrame(Frame(header.width, header.height, frame_str)) != 0) {
            log.writeLog("RM::loadSimpleSprite(): Error! Cannot add Frame.");
            log.writeLog("\tFramecount is %d, max is %d.", sprite.getFrameCount() + 1,
                         header.frames);
            return -1;
        }
    }
    // Only an empty read that reaches the end of the file is accepted here.
    if (!p_file->eof()) {
        const std::string extra = getLine(p_file, true);
        if (!extra.empty() || !p_file->eof()) {
            log.writeLog("RM::loadSimpleSprite(): Error line %d!", line_number);
            log.writeLog("\tExtra file data: '%s'", extra.c_str());
            return -1;
        }
    }
    return 0;
}

// ---- The sectioned format ----

// Logs what is left of a HEADER or FOOTER as unused (level 1).
void logUnused(const std::list<std::string>& data, const char* section) {
    if (data.empty()) {
        return;
    }
    LogManager& log = LogManager::getInstance();
    log.writeLog(1, "RM::loadRobustSprite(): Warning! Unused %s lines:", section);
    for (const std::string& line : data) {
        log.writeLog(1, "\t'%s'", line.c_str());
    }
}

struct RobustHeader {
    int frames = 0;
    int width = 0;
    int height = 0;
    int slowdown = 0;
    char transparency = 0;
    std::string color;
};

// Takes the required integer key from the HEADER. 0, or -1 when missing or
// not positive (a count below 1 can describe no sprite).
int requiredHeaderInt(std::list<std::string>* p_header, const char* key, int& value) {
    LogManager& log = LogManager::getInstance();
    value = matchLineInt(p_header, key);
    if (value == -1) {
        log.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in header.", key);
        return -1;
    }
    if (value < 1) {
        log.writeLog("RM::loadRobustSprite(): Error! '%s' in header is %d, must be at least 1.",
                     key, value);
        return -1;
    }
    return 0;
}

// Reads the HEADER section and its keys. 0, or -1 after the log lines.
int readRobustHeader(std::istream* p_file, RobustHeader& header) {
    LogManager& log = LogManager::getInstance();
    std::list<std::string> data = readData(p_file, "HEADER");
    if (data.empty()) {
        return -1;
    }
    log.writeLog(20, "ResourceManager::loadRobustSprite(): After header, line number: '%d'",
                 line_number);
    if (requiredHeaderInt(&data, "frames", header.frames) != 0 ||
        requiredHeaderInt(&data, "width", header.width) != 0 ||
        requiredHeaderInt(&data, "height", header.height) != 0) {
        return -1;
    }
    header.color = matchLineStr(&data, "color");
    if (header.color.empty()) {
        log.writeLog(5, "RM::loadRobustSprite(): Warning! No '%s' in header.", "color");
        header.color = "default";
    }
    const std::string transparency = matchLineStr(&data, "transparency");
    if (transparency.empty()) {
        log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "transparency");
        header.transparency = 0;
    } else if (transparency == "\" \"") {
        log.writeLog(5, "RM::loadRobustSprite(): transparency is 'space'");
        header.transparency = ' ';
    } else {
        header.transparency = transparency[0];
    }
    header.slowdown = matchLineInt(&data, "slowdown");
    if (header.slowdown == -1) {
        log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "slowdown");
        header.slowdown = 0;
    }
    logUnused(data, "HEADER");
    log.writeLog(5, "\t      Frames: %d", header.frames);
    log.writeLog(5, "\t       Width: %d", header.width);
    log.writeLog(5, "\t      Height: %d", header.height);
    log.writeLog(5, "\t    Slowdown: %d", header.slowdown);
    if (header.transparency != 0) {
        log.writeLog(5, "\tTransparency: '%c'", header.transparency);
    } else {
        log.writeLog(5, "\tTransparency: (none)");
    }
    return 0;
}

// Refuses a frame count the BODY cannot hold before the sprite is allocated:
// every frame takes height rows and its "end" line.
int checkRobustFrameCount(const RobustHeader& header, const std::list<std::string>& body) {
    LogManager& log = LogManager::getInstance();
    if (header.frames > MAX_SPRITE_FILE_FRAMES) {
        log.writeLog(
            "RM::loadRobustSprite(): Error! Number of frames %d is beyond the limit of %d.",
            header.frames, MAX_SPRITE_FILE_FRAMES);
        return -1;
    }
    const long long lines = static_cast<long long>(body.size());
    if (header.frames > lines / (static_cast<long long>(header.height) + 1)) {
        log.writeLog(
            "RM::loadRobustSprite(): Error! %d frames of %d rows cannot fit in the %lld "
            "BODY lines.",
            header.frames, header.height, lines);
        return -1;
    }
    return 0;
}

// Sets the sprite's colour from the header's keyword. 0, or -1 after the log lines.
int setRobustColor(const RobustHeader& header, Sprite& sprite) {
    LogManager& log = LogManager::getInstance();
    int color = keywordToColor(header.color);
    if (header.color == "default") {
        color = WHITE;
    }
    if (color < 0) {
        log.writeLog("RM::loadRobustSprite(): Error! Unrecognized color '%s'.",
                     header.color.c_str());
        log.writeLog("  Valid colors are: black, red, green, yellow,");
        log.writeLog("                    blue, magenta, cyan and white.");
        return -1;
    }
    sprite.setColor(static_cast<Color>(color));
    log.writeLog(5, "\t       Color: %s", colorToString(sprite.getColor()).c_str());
    return 0;
}

// Takes every frame from the BODY into the sprite; nothing may be left over.
// 0, or -1 after the log lines.
int readRobustFrames(const RobustHeader& header, int header_end, std::list<std::string>& body,
                     Sprite& sprite) {
    LogManager& log = LogManager::getInstance();
    for (int f = 0; f < header.frames; f++) {
        const Frame frame =
            readFrame(&body, header.width, header.height, header_end + 2 + f * header.height);
        if (frame.getString().empty()) {
            log.writeLog("RM::loadRobustSprite(): Error! No frame data to add.");
            return -1;
        }
        if (sprite.addFrame(frame) != 0) {
            log.writeLog("RM::loadRobustSprite(): Error! Cannot add Frame.");
            log.writeLog("\tFramecount is %d, max is %d", sprite.getFrameCount() + 1,
                         header.frames);
            return -1;
        }
    }
    if (!body.empty()) {
        log.writeLog("RM::loadRobustSprite(): Error! Extra BODY:");
        for (const std::string& line : body) {
            log.writeLog("\tLine %d: %s", line_number, line.c_str());
            line_number++;
        }
        return -1;
    }
    return 0;
}

// Reads the FOOTER, which must name a version. 0, or -1 after the log lines.
int readRobustFooter(std::istream* p_file) {
    std::list<std::string> footer = readData(p_file, "FOOTER");
    if (footer.empty()) {
        return -1;
    }
    if (matchLineStr(&footer, "version").empty()) {
        LogManager::getInstance().writeLog(
            "RM::loadRobustSprite(): Error! Missing '%s' in FOOTER (line %d).", "version",
            line_number);
        return -1;
    }
    logUnused(footer, "FOOTER");
    return 0;
}

// A new sprite with room for frames frames, or null when it cannot be allocated.
std::unique_ptr<Sprite> newSprite(int frames) {
    std::unique_ptr<Sprite> p_sprite(new (std::nothrow) Sprite(frames));
    if (p_sprite != nullptr && p_sprite->getMaxFrameCount() != frames) {
        p_sprite.reset();
    }
    return p_sprite;
}

// The text after the token and one separator character of a keyed line.
std::string keyedValue(const std::string& line, std::size_t token_length) {
    return token_length + 1 < line.size() ? line.substr(token_length + 1) : std::string();
}

// Consumes every line of p_data that begins with token and hands the value of
// each to take, in order; warns (as caller) from the second match on.
template <typename Take>
bool matchLines(std::list<std::string>* p_data, const char* token, const char* caller, Take take) {
    const std::string key(token);
    bool matched = false;
    for (auto it = p_data->begin(); it != p_data->end();) {
        if (it->compare(0, key.size(), key) != 0) {
            ++it;
            continue;
        }
        if (matched) {
            LogManager::getInstance().writeLog(1, "%s(): Warning! '%s' matches multiple lines.",
                                               caller, it->c_str());
        }
        matched = true;
        take(keyedValue(*it, key.size()));
        it = p_data->erase(it);
    }
    return matched;
}

}  // namespace

std::string getLine(std::istream* p_file, bool count) {
    if (!p_file->good()) {
        LogManager::getInstance().writeLog("getLine(): Error! Unexpected end of file.");
        return std::string();
    }
    std::string line;
    std::getline(*p_file, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (count) {
        line_number++;
    }
    return line;
}

std::list<std::string> readData(std::istream* p_file, std::string delimiter) {
    LogManager& log = LogManager::getInstance();
    const std::string begin = "<" + delimiter + ">";
    const std::string end = "</" + delimiter + ">";
    std::list<std::string> data;
    std::string line = getLine(p_file, true);
    if (line != begin) {
        log.writeLog("readData(): Error line %d! Expected '%s', have '%s'.", line_number,
                     begin.c_str(), line.c_str());
        return data;
    }
    line = getLine(p_file, false);
    while (line != end) {
        if (line.empty()) {
            log.writeLog("readData(): Error! Stop at line %d, never encountered '%s'.", line_number,
                         end.c_str());
            data.clear();
            return data;
        }
        data.push_back(line);
        line = getLine(p_file, true);
    }
    line_number++;
    return data;
}

int matchLineInt(std::list<std::string>* p_data, const char* token) {
    int value = -1;
    matchLines(p_data, token, "matchLineInt",
               [&value](const std::string& text) { value = std::atoi(text.c_str()); });
    return value;
}

std::string matchLineStr(std::list<std::string>* p_data, const char* token) {
    std::string value;
    matchLines(p_data, token, "matchLineStr", [&value](const std::string& text) { value = text; });
    return value;
}

Frame readFrame(std::list<std::string>* p_data, int width, int height, int line) {
    LogManager& log = LogManager::getInstance();
    int counter = line;
    std::string frame_str;
    for (int row = 0; row < height; row++) {
        if (p_data->empty()) {
            log.writeLog("\tError! Line %d: No more frame data before 'end'.", counter + 1);
            return Frame();
        }
        const std::string& text = p_data->front();
        counter++;
        log.writeLog(20, "\tLine %2d: '%s'", counter, text.c_str());
        if (static_cast<long long>(text.size()) != width) {
            log.writeLog("\tError! Line %d: Line length is %d (frame width is %d).", counter,
                         static_cast<int>(text.size()), width);
            log.writeLog("\tLine %d: '%s'", counter, text.c_str());
            return Frame();
        }
        frame_str += text;
        p_data->pop_front();
    }
    if (p_data->empty()) {
        log.writeLog("\tError! Line %d: No more frame data before 'end'.", counter + 1);
        return Frame();
    }
    if (p_data->front() != "end") {
        log.writeLog("\tError! Line %d: Expected '%s'.", line_number, "end");
        log.writeLog("\tLine %d: '%s'", counter + 1, p_data->front().c_str());
        return Frame();
    }
    p_data->pop_front();
    return Frame(width, height, frame_str);
}

Sprite* loadSimpleSprite(std::istream* p_file) {
    if (!resourceManagerStarted()) {
        return nullptr;
    }
    LogManager& log = LogManager::getInstance();
    SimpleHeader header;
    if (readSimpleHeader(p_file, header) != 0) {
        return nullptr;
    }
    log.writeLog(5, "\t      Frames: %d", header.frames);
    log.writeLog(5, "\t       Width: %d", header.width);
    log.writeLog(5, "\t      Height: %d", header.height);
    log.writeLog(5, "\t    Slowdown: %d", header.slowdown);
    log.writeLog(5, "\t       Color: %s", colorToString(header.color).c_str());
    if (checkSimpleFrameCount(p_file, header) != 0) {
        return nullptr;
    }
    std::unique_ptr<Sprite> p_sprite = newSprite(header.frames);
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadSimpleSprite(): Error! Unable to create Sprite.");
        return nullptr;
    }
    p_sprite->setWidth(header.width);
    p_sprite->setHeight(header.height);
    p_sprite->setSlowdown(header.slowdown);
    p_sprite->setColor(header.color);
    p_sprite->setTransparency(0);
    if (readSimpleBody(p_file, header, *p_sprite) != 0) {
        return nullptr;
    }
    return p_sprite.release();
}

Sprite* loadRobustSprite(std::istream* p_file) {
    if (!resourceManagerStarted()) {
        return nullptr;
    }
    LogManager& log = LogManager::getInstance();
    RobustHeader header;
    if (readRobustHeader(p_file, header) != 0) {
        return nullptr;
    }
    const int header_end = line_number;
    std::list<std::string> body = readData(p_file, "BODY");
    if (body.empty()) {
        return nullptr;
    }
    log.writeLog(20, "ResourceManager::loadRobustSprite(): After reading body: line number is '%d'",
                 line_number);
    if (checkRobustFrameCount(header, body) != 0) {
        return nullptr;
    }
    std::unique_ptr<Sprite> p_sprite = newSprite(header.frames);
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadRobustSprite(): Error! Unable to create Sprite.");
        return nullptr;
    }
    p_sprite->setWidth(header.width);
    p_sprite->setHeight(header.height);
    p_sprite->setSlowdown(header.slowdown);
    p_sprite->setTransparency(header.transparency);
    if (setRobustColor(header, *p_sprite) != 0 ||
        readRobustFrames(header, header_end, body, *p_sprite) != 0 ||
        readRobustFooter(p_file) != 0) {
        return nullptr;
    }
    return p_sprite.release();
}

// ---- The audio device ----

namespace {

// The PulseAudio client library (which PipeWire's sound server speaks too)
// sizes a stream's server-side buffer from this variable. Its default of a
// millisecond or two lets the music break up whenever the machine is busy.
const char* const SERVER_LATENCY_VARIABLE = "PULSE_LATENCY_MSEC";

// The name of the device the audio library falls back to when no real one
// opens: everything played on it is thrown away.
const char* const NULL_DEVICE_NAME = "NULL Playback Device";

// What the system granted the thread that opened the audio device, and so
// the audio library's threads.
platform::ThreadPriority audio_priority = platform::ThreadPriority::NORMAL;

int audioBufferMs() {
    return audio_priority == platform::ThreadPriority::NORMAL ? AUDIO_BUFFER_MS
                                                              : AUDIO_RAISED_BUFFER_MS;
}

// Raises the calling thread for the audio threads about to start, and asks
// for the buffer that suits what was granted.
bool prepareAudioDevice() {
    audio_priority = platform::raiseCallingThread(platform::ThreadPriority::REALTIME);
    return platform::setEnvironment(SERVER_LATENCY_VARIABLE, std::to_string(audioBufferMs()),
                                    false);
}

bool finishAudioDevice() {
    platform::lowerCallingThread();
    return true;
}

// Says once that sound is buffered long because nothing was granted.
void logAudioPriority() {
    if (audio_priority == platform::ThreadPriority::NORMAL) {
        // The buffer asked for: the game's, or one the environment named.
        const char* buffer = std::getenv(SERVER_LATENCY_VARIABLE);
        LogManager::getInstance().writeLog(
            "RM::startUp(): Warning! Audio threads not raised: sound is buffered %s ms.",
            buffer != nullptr ? buffer : "?");
    }
}

// Names the device sound plays on, or warns once that there is none (or
// only the null one) and the game will be silent.
void logPlaybackDevice() {
    LogManager& log = LogManager::getInstance();
    const std::optional<std::string> device = sf::PlaybackDevice::getDevice();
    if (!device || *device == NULL_DEVICE_NAME) {
        log.writeLog(
            "RM::startUp(): Warning! No audio playback device opened: the game will be silent.");
        return;
    }
    log.writeLog(1, "RM::startUp(): Playing audio on '%s'.", device->c_str());
}

}  // namespace

// ---- The resource manager ----

ResourceManager::ResourceManager()
    : m_sprite_count(0), m_sound_count(0), m_music_count(0), m_device_reported(false) {
    setType("ResourceManager");
}

ResourceManager::~ResourceManager() = default;

ResourceManager& ResourceManager::getInstance() {
    // Around the instance: its musics open the device.
    static const bool prepared = prepareAudioDevice();
    static ResourceManager instance;
    static const bool finished = finishAudioDevice();
    (void)prepared;
    (void)finished;
    return instance;
}

int ResourceManager::startUp() {
    if (refuseRestart()) {
        return -1;
    }
    m_sprite_count = 0;
    m_sound_count = 0;
    m_music_count = 0;
    Manager::startUp();
    if (!m_device_reported) {
        logPlaybackDevice();
        logAudioPriority();
        m_device_reported = true;
    }
    LogManager::getInstance().writeLog(5, "RM::startUp(): successfully started.");
    return 0;
}

void ResourceManager::shutDown() {
    for (int i = 0; i < m_sprite_count; i++) {
        m_p_sprite[i].reset();
    }
    m_sprite_count = 0;
    for (int i = 0; i < m_sound_count; i++) {
        m_sound[i].stop();
    }
    for (int i = 0; i < m_music_count; i++) {
        m_music[i].stop();
    }
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "RM::shutDown(): successfully stopped.");
}

int ResourceManager::loadSprite(std::string filename, std::string label) {
    LogManager& log = LogManager::getInstance();
    if (!resourceManagerStarted()) {
        return -1;
    }
    if (m_sprite_count == MAX_SPRITES) {
        log.writeLog("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is %d).",
                     MAX_SPRITES);
        log.writeLog("RM::loadRobustSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
    log.writeLog(1, "RM::loadSprite(): Loading sprite '%s'.", filename.c_str());
    // Binary, so that positions (the readers seek and measure what is left)
    // are byte offsets on every system; the line reader drops a CR before LF.
    std::ifstream file(filename, std::ios::binary);
    if (!file.is_open()) {
        log.writeLog("RM::loadSprite(): Error! Cannot open file '%s'.", filename.c_str());
        log.writeLog("RM::loadSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }

    // The first line chooses the reader, which then starts again at line 1.
    line_number = 0;
    const std::string first_line = getLine(&file, false);
    file.clear();
    file.seekg(0);

    std::unique_ptr<Sprite> p_sprite;
    if (first_line == "<HEADER>") {
        log.writeLog(5, "RM::loadSprite(): assuming robust sprite file format.");
        p_sprite.reset(loadRobustSprite(&file));
    } else if (std::atoi(first_line.c_str()) >= 1) {
        log.writeLog(5, "RM::loadSprite(): assuming simple sprite file format.");
        p_sprite.reset(loadSimpleSprite(&file));
    } else {
        log.writeLog("RM::loadSprite(): Error! Unknown sprite file format.");
        log.writeLog("RM::loadSprite(): First line is '%s'.", first_line.c_str());
    }
    if (p_sprite == nullptr) {
        log.writeLog("RM::loadSprite(): Sprite '%s' NOT loaded.", label.c_str());
        return -1;
    }
    p_sprite->setLabel(label);
    logSpriteFrames(*p_sprite);
    m_p_sprite[m_sprite_count] = std::move(p_sprite);
    m_sprite_count++;
    log.writeLog(5, "RM::loadSprite(): Sprite '%s' loaded.", label.c_str());
    return 0;
}

void ResourceManager::logSpriteFrames(const Sprite& sprite) const {
    LogManager& log = LogManager::getInstance();
    log.writeLog(15, "RM::loadSprite(): Sprite '%s' frames:", sprite.getLabel().c_str());
    const std::size_t width = static_cast<std::size_t>(sprite.getWidth());
    for (int i = 1; i <= sprite.getFrameCount(); i++) {
        log.writeLog(15, "\tFrame %d:", i);
        const std::string frame_str = sprite.getFrame(i - 1).getString();
        for (std::size_t start = 0; width > 0 && start < frame_str.size(); start += width) {
            log.writeLog(15, "\t%s", frame_str.substr(start, width).c_str());
        }
    }
}

int ResourceManager::loadSound(std::string filename, std::string label) {
    LogManager& log = LogManager::getInstance();
    if (!resourceManagerStarted()) {
        return -1;
    }
    if (m_sound_count == MAX_SOUNDS) {
        log.writeLog("RM::loadSound(): Error! Unable to add more sounds (max is %d).",
                     m_sound_count);
        return -1;
    }
    if (m_sound[m_sound_count].loadSound(filename) != 0) {
        log.writeLog("RM::loadSound(): Error! Cannot load sound from file '%s'.", filename.c_str());
        return -1;
    }
    m_sound[m_sound_count].setLabel(label);
    log.writeLog(1, "RM::loadSound(): Sound '%s' successfully loaded.", label.c_str());
    m_sound_count++;
    return 0;
}

int ResourceManager::loadMusic(std::string filename, std::string label) {
    LogManager& log = LogManager::getInstance();
    if (!resourceManagerStarted()) {
        return -1;
    }
    if (m_music_count == MAX_MUSICS) {
        log.writeLog("RM::loadMusic(): Error! Unable to add more musics (max is %d).",
                     m_music_count);
        return -1;
    }
    if (label.empty()) {
        log.writeLog("RM::loadMusic(): Error! Must provide label for music.");
        return -1;
    }
    if (m_music[m_music_count].loadMusic(filename) != 0) {
        log.writeLog("RM::loadmusic(): Error! Cannot load music from file '%s'.", filename.c_str());
        return -1;
    }
    m_music[m_music_count].setLabel(label);
    log.writeLog(1, "RM::loadMusic(): Music '%s' successfully loaded.", label.c_str());
    m_music_count++;
    return 0;
}

Sprite* ResourceManager::getSprite(std::string label) const {
    LogManager& log = LogManager::getInstance();
    log.writeLog(5, "RM::getSprite(): Looking for sprite '%s'.", label.c_str());
    for (int i = 0; i < m_sprite_count; i++) {
        if (m_p_sprite[i] != nullptr && m_p_sprite[i]->getLabel() == label) {
            return m_p_sprite[i].get();
        }
    }
    log.writeLog("RM::getSprite(): Warning! Sprite '%s' not found.", label.c_str());
    return nullptr;
}

Sound* ResourceManager::getSound(std::string label) {
    LogManager& log = LogManager::getInstance();
    log.writeLog(5, "RM::getSound(): Looking for sound '%s'.", label.c_str());
    for (int i = 0; i < m_sound_count; i++) {
        if (m_sound[i].getLabel() == label) {
            return &m_sound[i];
        }
    }
    log.writeLog("RM::getSound(): Warning! Sound '%s' not found.", label.c_str());
    return nullptr;
}

Music* ResourceManager::getMusic(std::string label) {
    LogManager& log = LogManager::getInstance();
    log.writeLog(5, "RM::getMusic(): Looking for music '%s'.", label.c_str());
    for (int i = 0; i < m_music_count; i++) {
        if (m_music[i].getLabel() == label) {
            return &m_music[i];
        }
    }
    log.writeLog("RM::getMusic(): Warning! Music '%s' not found.", label.c_str());
    return nullptr;
}

}  // namespace ox
