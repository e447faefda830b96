// Full-screen redraw through the display manager in a real window (run under
// Xvfb): every cell drawn with one drawCh, then swapBuffers, per frame.
//   ./dev.sh xvfb-run -a -s "-screen 0 1920x1200x24" build-display/bench/bench_display
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "Config.h"
#include "DisplayManager.h"
// The graphics tests' X connection helper (each benchmark is one source file).
#include "XDisplay.h"

namespace {

struct Screen {
    int pixels_x, pixels_y, chars_x, chars_y;
};

// The run directory's font when run from there, else the system font it is copied from.
std::string fontFile() {
    return std::filesystem::exists("ox-font.ttf")
               ? std::string("ox-font.ttf")
               : std::string("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
}

// Index 0: the default 80 x 24 window; index 1: 200 x 60 cells.
const Screen SCREENS[] = {{1024, 768, 80, 24}, {1600, 960, 200, 60}};

bool startDisplay(const Screen& screen) {
    if (!ox_test::waitForXDisplay()) {
        return false;
    }
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    if (display.isStarted()) {
        display.shutDown();
    }
    ox::Config::getInstance().loadConfig(
        "window_horizontal_pixels:" + std::to_string(screen.pixels_x) +
        ",window_vertical_pixels:" + std::to_string(screen.pixels_y) +
        ",window_horizontal_chars:" + std::to_string(screen.chars_x) + ",window_vertical_chars:" +
        std::to_string(screen.chars_y) + ",font_file:" + fontFile() + ",");
    return display.startUp() == 0;
}

void BM_FullScreenRedraw(benchmark::State& state) {
    const Screen& screen = SCREENS[state.range(0)];
    if (!startDisplay(screen)) {
        state.SkipWithError("the display did not start");
        return;
    }
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    const ox::Color colors[] = {ox::RED, ox::GREEN, ox::YELLOW, ox::CYAN, ox::WHITE};
    int frame = 0;
    // Time spent adding the cells, apart from the time showing the frame.
    double adding = 0;
    auto drawFrame = [&]() {
        const auto start = std::chrono::steady_clock::now();
        for (int y = 0; y < screen.chars_y; y++) {
            for (int x = 0; x < screen.chars_x; x++) {
                const char ch = static_cast<char>('!' + (x + y + frame) % 90);
                display.drawCh(ox::Vector(static_cast<float>(x), static_cast<float>(y)), ch,
                               colors[(x + y) % 5], 0);
            }
        }
        adding +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        display.swapBuffers();
        frame++;
    };
    // The first frames rasterize every glyph into the font's texture; warm up
    // over all 90 characters so that only steady frames are timed.
    for (int i = 0; i < 3; i++) {
        drawFrame();
    }
    adding = 0;
    for (auto _ : state) {
        drawFrame();
    }
    state.counters["add_ms"] = adding / static_cast<double>(state.iterations());
    state.counters["cells"] = screen.chars_x * screen.chars_y;
    state.SetLabel(std::to_string(screen.chars_x) + "x" + std::to_string(screen.chars_y));
    display.shutDown();
}
BENCHMARK(BM_FullScreenRedraw)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// The floor under every frame: showing and clearing a window with nothing drawn.
void BM_EmptyFrame(benchmark::State& state) {
    const Screen& screen = SCREENS[state.range(0)];
    if (!startDisplay(screen)) {
        state.SkipWithError("the display did not start");
        return;
    }
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    for (auto _ : state) {
        display.swapBuffers();
    }
    state.SetLabel(std::to_string(screen.pixels_x) + "x" + std::to_string(screen.pixels_y) +
                   " pixels");
    display.shutDown();
}
BENCHMARK(BM_EmptyFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
