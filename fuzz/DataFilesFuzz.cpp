// libFuzzer target of the readers of the files a game ships and a player may
// edit: the two sprite formats and the configuration text. The first byte of
// an input picks the reader (0: simple sprite, 1: sectioned sprite, 2:
// configuration); the rest is the file. A sprite that loads is walked frame by
// frame and deleted, so a size that does not match its frames is a finding.
// The sprite readers refuse to work before the resource manager has started,
// so the target starts it, and checks at start-up that a known-good file of
// each kind gets through its reader.
// Built and run as the README's fuzzing section shows.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "Config.h"
#include "Frame.h"
#include "LogManager.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "Sprite.h"

namespace {

/// Reads every frame's every character, as drawing would.
void walk(const ox::Sprite& sprite) {
    std::size_t sum = 0;
    for (int i = 0; i < sprite.getFrameCount(); i++) {
        const ox::Frame frame = sprite.getFrame(i);
        const std::string text = frame.getString();
        for (int y = 0; y < frame.getHeight(); y++) {
            for (int x = 0; x < frame.getWidth(); x++) {
                sum += static_cast<unsigned char>(text.at(y * frame.getWidth() + x));
            }
        }
    }
    if (sum == 1) {  // keeps the walk from being optimized away
        std::abort();
    }
}

/// Runs one file through the reader its kind picks; the sprite read, if any.
std::unique_ptr<ox::Sprite> readFile(std::uint8_t kind, const std::string& file) {
    if (kind % 3 == 2) {
        // An empty text would make the configuration read its file instead.
        if (!file.empty()) {
            ox::Config::getInstance().loadConfig(file);
        }
        return nullptr;
    }
    std::istringstream stream(file, std::ios::in | std::ios::binary);
    ox::line_number = 0;  // as loading a sprite file does, so a finding reproduces
    return std::unique_ptr<ox::Sprite>(kind % 3 == 0 ? ox::loadSimpleSprite(&stream)
                                                     : ox::loadRobustSprite(&stream));
}

/// Fails loudly unless a known-good file of each kind gets through its reader.
void checkReachesParsers() {
    const std::unique_ptr<ox::Sprite> p_simple = readFile(0, "2\n3\n1\n0\nred\nabc\ndef\n");
    const std::unique_ptr<ox::Sprite> p_sectioned =
        readFile(1,
                 "<HEADER>\nframes 1\nwidth 2\nheight 1\n</HEADER>\n<BODY>\nab\nend\n</BODY>\n"
                 "<FOOTER>\nversion 1\n</FOOTER>\n");
    readFile(2, "window_title:Probe,");
    const bool reached = p_simple != nullptr && p_simple->getFrameCount() == 2 &&
                         p_sectioned != nullptr && p_sectioned->getFrameCount() == 1 &&
                         ox::Config::getInstance().getWindowTitle() == "Probe";
    if (!reached) {
        std::fprintf(stderr, "DataFilesFuzz: Error! A known-good file did not get through.\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ox::platform::setEnvironment("ORVIX_LOG", "/dev/null", false);
    ox::LogManager::getInstance().startUp();
    ox::ResourceManager::getInstance().startUp();
    checkReachesParsers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::unique_ptr<ox::Sprite> p_sprite =
        readFile(data[0], std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    if (p_sprite != nullptr) {
        walk(*p_sprite);
    }
    return 0;
}
