// libFuzzer target of the readers of the files a game ships and a player may
// edit: the two sprite formats and the configuration text. The first byte of
// an input picks the reader (0: simple sprite, 1: sectioned sprite, 2:
// configuration); the rest is the file. A sprite that loads is walked frame by
// frame and deleted, so a size that does not match its frames is a finding.
//
// Build as the record readers' target (see the README; the build directory's
// default target builds both); run with the seeds in fuzz/corpus-data:
//   mkdir -p build-fuzz/corpus-data-new
//   build-fuzz/fuzz/fuzz_data_files build-fuzz/corpus-data-new fuzz/corpus-data \
//       -max_total_time=60 -malloc_limit_mb=256
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "Config.h"
#include "Frame.h"
#include "LogManager.h"
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ORVIX_LOG", "/dev/null", 0);
    ox::LogManager::getInstance().startUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 3 == 2) {
        ox::Config::getInstance().loadConfig(file);
        return 0;
    }
    std::istringstream stream(file, std::ios::in | std::ios::binary);
    ox::Sprite* p_sprite =
        data[0] % 3 == 0 ? ox::loadSimpleSprite(&stream) : ox::loadRobustSprite(&stream);
    if (p_sprite != nullptr) {
        walk(*p_sprite);
        delete p_sprite;
    }
    return 0;
}
