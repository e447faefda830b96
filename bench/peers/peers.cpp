// The engine side by side with a peer character-cell library (its C API), on
// the same display and the same maps, each measure run in fresh processes
// that alternate between the two sides.
//
//   ./dev.sh xvfb-run -a -s "-screen 0 1920x1200x24" build/bench/bench_peers
//
// Prints one line per measure, "MEASURE engine_ms peer_ms ratio" (ratio =
// engine / peer), then the load average:
//   draw80x24, draw200x60  a full redraw presented: every cell's character
//                          and colours changed, then the frame shown (median
//                          frame time)
//   path200, path1000      a path search corner to corner over a seeded map
//                          of scattered obstacles, diagonal steps allowed
//                          (median processor time of searches from
//                          scratch); both sides must find paths of equal
//                          cost
//
// bench_peers MEASURE SIDE (SIDE engine or peer) runs one measure on one side
// and prints its time (and, for a path, the path's cost).

#include <libtcod.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Config.h"
#include "DisplayManager.h"
#include "Object.h"
#include "ObstacleWorld.h"
#include "PathFind.h"
#include "WorldManager.h"
#include "XDisplay.h"

namespace {

using Millis = std::chrono::duration<double, std::milli>;
using Watch = std::chrono::steady_clock;

const char* const FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

/// Processes per side and measure; the result is the median of their times.
constexpr int ROUNDS = 3;
/// Frames drawn before timing (glyphs rasterized, buffers allocated), and timed.
constexpr int WARM_FRAMES = 5;
constexpr int TIMED_FRAMES = 40;
/// Searches per process on one map, each from scratch; the process reports
/// their median.
constexpr int SEARCHES = 9;

/// A window of cells: its size in pixels and in cells.
struct Screen {
    int pixels_x, pixels_y, chars_x, chars_y;
};

/// One measure: a screen to redraw, or a square map to search.
struct Measure {
    const char* name;
    Screen screen;  ///< For a drawing measure.
    int map_side;   ///< For a path measure; 0 for drawing.
};

const Measure MEASURES[] = {
    {"draw80x24", {1024, 768, 80, 24}, 0},
    {"draw200x60", {1600, 960, 200, 60}, 0},
    {"path200", {}, 200},
    {"path1000", {}, 1000},
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/// The character and colour channel of cell (x, y) in a frame: every cell
/// changes from one frame to the next.
char frameChar(int x, int y, int frame) {
    return static_cast<char>('!' + (x + y + frame) % 90);
}
unsigned char frameChannel(int x, int y, int frame, int salt) {
    return static_cast<unsigned char>((x * 7 + y * 13 + frame * 29 + salt) % 256);
}

/// Times frames of drawFrame(frame) and returns the median in milliseconds.
template <typename DrawFrame>
double medianFrame(DrawFrame drawFrame) {
    std::vector<double> times;
    for (int frame = 0; frame < WARM_FRAMES + TIMED_FRAMES; frame++) {
        const Watch::time_point start = Watch::now();
        drawFrame(frame);
        if (frame >= WARM_FRAMES) {
            times.push_back(Millis(Watch::now() - start).count());
        }
    }
    return median(times);
}

double engineDraw(const Screen& screen) {
    ox::Config::getInstance().loadConfig(
        "window_horizontal_pixels:" + std::to_string(screen.pixels_x) +
        ",window_vertical_pixels:" + std::to_string(screen.pixels_y) +
        ",window_horizontal_chars:" + std::to_string(screen.chars_x) +
        ",window_vertical_chars:" + std::to_string(screen.chars_y) + ",font_file:" + FONT + ",");
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    if (display.startUp() != 0) {
        return -1;
    }
    const double ms = medianFrame([&](int frame) {
        for (int y = 0; y < screen.chars_y; y++) {
            for (int x = 0; x < screen.chars_x; x++) {
                display.drawCh(ox::Vector(static_cast<float>(x), static_cast<float>(y)),
                               frameChar(x, y, frame), frameChannel(x, y, frame, 0),
                               frameChannel(x, y, frame, 85), frameChannel(x, y, frame, 170), 0);
            }
        }
        display.swapBuffers();
    });
    display.shutDown();
    return ms;
}

double peerDraw(const Screen& screen) {
    // The tiles are the engine's cells, rounded to whole pixels; the peer
    // scales its console to fill the window.
    TCOD_Tileset* p_tileset = TCOD_load_truetype_font_(
        FONT, static_cast<int>(std::lround(1.0 * screen.pixels_x / screen.chars_x)),
        screen.pixels_y / screen.chars_y);
    TCOD_Console* p_console = TCOD_console_new(screen.chars_x, screen.chars_y);
    TCOD_ContextParams params{};
    params.tcod_version = TCOD_COMPILEDVERSION;
    params.pixel_width = screen.pixels_x;
    params.pixel_height = screen.pixels_y;
    params.columns = screen.chars_x;
    params.rows = screen.chars_y;
    params.renderer_type = TCOD_RENDERER_OPENGL2;
    params.tileset = p_tileset;
    // The engine's window asks for vertical sync, which a virtual X display
    // does not grant it ("Setting vertical sync not supported"); the peer's
    // would be granted and hold it to 60 frames a second, so it goes
    // without, and both sides present as fast as they draw.
    params.vsync = 0;
    params.window_title = "peer";
    TCOD_Context* p_context = nullptr;
    if (p_tileset == nullptr || p_console == nullptr ||
        TCOD_context_new(&params, &p_context) != TCOD_E_OK) {
        std::fprintf(stderr, "bench_peers: the peer did not start: %s\n", TCOD_get_error());
        return -1;
    }
    const double ms = medianFrame([&](int frame) {
        for (int y = 0; y < screen.chars_y; y++) {
            for (int x = 0; x < screen.chars_x; x++) {
                const TCOD_color_t fg{frameChannel(x, y, frame, 0), frameChannel(x, y, frame, 85),
                                      frameChannel(x, y, frame, 170)};
                const TCOD_color_t bg{frameChannel(x, y, frame, 40), frameChannel(x, y, frame, 120),
                                      0};
                TCOD_console_put_rgb(p_console, x, y, frameChar(x, y, frame), &fg, &bg,
                                     TCOD_BKGND_SET);
            }
        }
        TCOD_context_present(p_context, p_console, nullptr);
    });
    TCOD_context_delete(p_context);
    TCOD_console_delete(p_console);
    TCOD_tileset_delete(p_tileset);
    return ms;
}

/// The length of a path through the given cells.
double pathCost(const std::vector<ox::PathFind::Cell>& cells) {
    double cost = 0.0;
    for (std::size_t i = 1; i < cells.size(); i++) {
        cost += std::hypot(cells[i].x - cells[i - 1].x, cells[i].y - cells[i - 1].y);
    }
    return cost;
}

/// The processor time of this process in milliseconds. A search runs on one
/// thread; on a loaded machine the wall clock would also count the time other
/// processes had the processor, which doubles a small search's time at random.
double processorMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

/// A path measure's time and the cost of the path found (-1 for none).
struct Search {
    double ms;
    double cost;
};

Search engineSearch(int side) {
    ox::Object* p_walker = ox_bench::buildObstacleWorld(side, side);
    std::vector<double> times;
    double cost = -1.0;
    for (int i = 0; i < SEARCHES; i++) {
        const double start = processorMs();
        ox::PathFind search(p_walker, {1, 1}, {side - 2, side - 2});
        int result = ox::PathFind::SEARCHING;
        while (result == ox::PathFind::SEARCHING) {
            result = search.cycleOnce();
        }
        times.push_back(processorMs() - start);
        std::vector<ox::PathFind::Cell> cells;
        const ox::Path path = search.getPath();
        for (const ox::Vector& waypoint : path.getWaypoints()) {
            cells.push_back(ox::PathFind::cellAt(waypoint));
        }
        cost = result == ox::PathFind::FOUND ? pathCost(cells) : -1.0;
    }
    return {median(times), cost};
}

/// The peer's step cost: the engine's rule, a free cell and no diagonal
/// squeeze between two blocked cells (the peer scales diagonal steps).
float peerStep(int x0, int y0, int x1, int y1, void* p_blocked) {
    const auto& blocked = *static_cast<const std::vector<std::vector<bool>>*>(p_blocked);
    if (blocked[y1][x1] || (blocked[y0][x1] && blocked[y1][x0])) {
        return 0.0f;
    }
    return 1.0f;
}

Search peerSearch(int side) {
    // The map is the engine's own view of the obstacles: every cell its
    // search would find blocked for the walker (not timed).
    ox::Object* p_walker = ox_bench::buildObstacleWorld(side, side);
    std::vector<std::vector<bool>> blocked(static_cast<std::size_t>(side),
                                           std::vector<bool>(static_cast<std::size_t>(side)));
    {
        const ox::PathFind probe(p_walker, {1, 1}, {side - 2, side - 2});
        for (int y = 0; y < side; y++) {
            for (int x = 0; x < side; x++) {
                blocked[y][x] = probe.isBlocked(x, y);
            }
        }
    }
    std::vector<double> times;
    double cost = -1.0;
    for (int i = 0; i < SEARCHES; i++) {
        const double start = processorMs();
        TCOD_path_t path =
            TCOD_path_new_using_function(side, side, peerStep, &blocked, std::sqrt(2.0f));
        const bool found = TCOD_path_compute(path, 1, 1, side - 2, side - 2);
        times.push_back(processorMs() - start);
        std::vector<ox::PathFind::Cell> cells{{1, 1}};
        for (int step = 0; found && step < TCOD_path_size(path); step++) {
            ox::PathFind::Cell cell;
            TCOD_path_get(path, step, &cell.x, &cell.y);
            cells.push_back(cell);
        }
        TCOD_path_delete(path);
        cost = found ? pathCost(cells) : -1.0;
    }
    return {median(times), cost};
}

/// Runs one measure on one side in this process and prints "ms [cost]".
int runOne(const Measure& measure, const std::string& side) {
    const bool engine = side == "engine";
    if (measure.map_side > 0) {
        const Search s = engine ? engineSearch(measure.map_side) : peerSearch(measure.map_side);
        std::printf("%.3f %.6f\n", s.ms, s.cost);
        return 0;
    }
    if (!ox_test::waitForXDisplay()) {
        std::fprintf(stderr, "bench_peers: no X display\n");
        return 1;
    }
    const double ms = engine ? engineDraw(measure.screen) : peerDraw(measure.screen);
    std::printf("%.3f\n", ms);
    return ms < 0 ? 1 : 0;
}

/// Runs "self MEASURE SIDE" in a process of its own; false when it failed.
bool runChild(const std::string& self, const Measure& measure, const std::string& side, double& ms,
              double& cost) {
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("orvix-peers-" + std::to_string(getpid()) + ".out");
    const std::string command =
        "'" + self + "' " + measure.name + " " + side + " > '" + out.string() + "'";
    bool ok = std::system(command.c_str()) == 0;
    std::ifstream in(out);
    ok = ok && static_cast<bool>(in >> ms);
    cost = 0.0;
    in >> cost;
    std::filesystem::remove(out);
    return ok && ms >= 0;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(in >> one >> five >> fifteen)) {
        return "unknown";
    }
    return one + ", " + five + ", " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = std::filesystem::absolute(argv[0]).string();
    for (const Measure& measure : MEASURES) {
        if (argc == 3 && argv[1] == std::string(measure.name)) {
            return runOne(measure, argv[2]);
        }
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: bench_peers [MEASURE engine|peer]\n");
        return 2;
    }
    std::printf("# peer: libtcod %s\n", TCOD_STRVERSION);
    int status = 0;
    for (const Measure& measure : MEASURES) {
        std::vector<double> engine_ms, peer_ms;
        bool ok = true;
        for (int round = 0; round < ROUNDS && ok; round++) {
            double ms = 0, engine_cost = 0, peer_cost = 0;
            ok = runChild(self, measure, "engine", ms, engine_cost);
            engine_ms.push_back(ms);
            ok = ok && runChild(self, measure, "peer", ms, peer_cost);
            peer_ms.push_back(ms);
            if (ok && measure.map_side > 0 &&
                (engine_cost < 0 || std::fabs(engine_cost - peer_cost) > 1e-3)) {
                std::fprintf(stderr, "bench_peers: %s: path costs differ: %.4f and %.4f\n",
                             measure.name, engine_cost, peer_cost);
                ok = false;
            }
        }
        if (!ok) {
            std::printf("%s failed\n", measure.name);
            status = 1;
            continue;
        }
        const double engine = median(engine_ms);
        const double peer = median(peer_ms);
        std::printf("%s %.2f %.2f %.2f\n", measure.name, engine, peer, engine / peer);
        std::fflush(stdout);
    }
    std::printf("load average: %s\n", loadAverage().c_str());
    return status;
}
