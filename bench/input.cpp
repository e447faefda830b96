// The input manager's per-frame work in a real window (run under Xvfb): one
// getInput with no pending window events and nothing held, which is the poll
// of the three mouse buttons, the pointer position and the 73 keys.
//   ./dev.sh xvfb-run -a -s "-screen 0 1920x1200x24" build-input/bench/bench_input
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "Config.h"
#include "DisplayManager.h"
#include "InputManager.h"
// The graphics tests' X connection helper (each benchmark is one source file).
#include "XDisplay.h"

namespace {

// The run directory's font when run from there, else the system font it is copied from.
std::string fontFile() {
    return std::filesystem::exists("ox-font.ttf")
               ? std::string("ox-font.ttf")
               : std::string("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
}

void BM_GetInputIdle(benchmark::State& state) {
    if (!ox_test::waitForXDisplay()) {
        state.SkipWithError("no X server");
        return;
    }
    ox::Config::getInstance().loadConfig("font_file:" + fontFile() + ",");
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ox::InputManager& input = ox::InputManager::getInstance();
    if (display.startUp() != 0 || input.startUp() != 0) {
        state.SkipWithError("the display or the input manager did not start");
        return;
    }
    for (auto _ : state) {
        input.getInput();
    }
    input.shutDown();
    display.shutDown();
}
BENCHMARK(BM_GetInputIdle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
