// Cost of the incremental path search on worlds of 80 x 24, 200 x 200 and
// 1000 x 1000 cells with scattered rectangular obstacles (about 15% of the
// area), searching from one corner to the opposite one.
//
// PathFind keeps its open and closed lists as plain arrays and scans them on
// every step, so one cycleOnce costs time in proportion to the cells already
// reached. The search is run until it ends or ENGINE_CAP_SECONDS have been
// spent. To say how long a capped search would have taken, the same search is
// also run by HeapSearch below, a measuring aid that makes exactly the same
// choices (it checks this against PathFind's closing order) but keeps
// per-cell flags and a heap ordered by (f, most recently opened first); it
// gives the total number of cycles, and the engine's time is projected from a
// least-squares fit T(k) = a k + b k^2 / 2 of its cumulative time at
// checkpoints. The fit is checked on every search that finishes and is long
// enough: made from its first quarter, it is compared with the real total.
//
// Counters: cycles (engine cycles run), total_cycles (cycles the whole search
// needs), engine_s (time spent), us_per_cycle (engine mean),
// last_us_per_cycle (engine mean over the last sixteenth of the run), finished,
// projected_s (engine time for the whole search), frames (that time in path
// budgets of 31 ms: 95% of a 33 ms frame), heap_s and heap_us_per_cycle (the
// measuring aid), same_choices (1 when both closed the same cells in the same
// order), fit_error (searches that finished: the projection from the first
// quarter / the real total - 1).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "Box.h"
#include "LogManager.h"
#include "Object.h"
#include "PathFind.h"
#include "Vector.h"
#include "WorldManager.h"

namespace {

using Cell = ox::PathFind::Cell;
using Seconds = std::chrono::duration<double>;
using Watch = std::chrono::steady_clock;

constexpr double ENGINE_CAP_SECONDS = 60.0;
constexpr double PATH_BUDGET_SECONDS = 0.031;
constexpr double OBSTACLE_AREA = 0.15;

/// Starts the log (in a directory of our own) and the world on cols x rows
/// cells, scattering HARD rectangles of 1 to 5 cells a side until they cover
/// OBSTACLE_AREA of the world, keeping the corners free. Returns the walker.
ox::Object* buildWorld(int cols, int rows) {
    static bool log_started = false;
    if (!log_started) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("orvix-pathfind-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        setenv("ORVIX_LOG", (dir / "pathfind.log").c_str(), 1);
        ox::LogManager::getInstance().startUp();
        log_started = true;
    }
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(ox::Box(ox::Vector(), static_cast<float>(cols), static_cast<float>(rows)));
    std::mt19937 random(static_cast<unsigned>(cols * 7919 + rows));
    std::uniform_int_distribution<int> side(1, 5);
    std::uniform_int_distribution<int> pick_x(0, cols - 1);
    std::uniform_int_distribution<int> pick_y(0, rows - 1);
    double covered = 0.0;
    while (covered < OBSTACLE_AREA * cols * rows) {
        const int x = pick_x(random);
        const int y = pick_y(random);
        const int w = std::min(side(random), cols - x);
        const int h = std::min(side(random), rows - y);
        const bool near_start = x <= 2 && y <= 2;
        const bool near_goal = x + w >= cols - 2 && y + h >= rows - 2;
        if (near_start || near_goal) {
            continue;
        }
        auto* p_o = new ox::Object;
        // Just short of whole cells, so the obstacle does not touch a walker
        // standing next to it.
        p_o->setBox(ox::Box(ox::Vector(-0.5f, -0.5f), w - 0.01f, h - 0.01f));
        p_o->setPosition(ox::Vector(static_cast<float>(x), static_cast<float>(y)));
        covered += w * h;
    }
    auto* p_walker = new ox::Object;
    p_walker->setPosition(ox::Vector(1.0f, 1.0f));
    return p_walker;
}

/// Same choices as PathFind::cycleOnce, with flags per cell and a heap of the
/// open cells ordered by f and then by opening order, latest first: the cell
/// PathFind's backward scan with "strictly smaller wins" picks.
class HeapSearch {
public:
    HeapSearch(const ox::PathFind& probe, int cols, int rows)
        : m_probe(probe),
          m_cols(cols),
          m_rows(rows),
          m_start(probe.getStart()),
          m_goal(probe.getGoal()),
          m_nodes(static_cast<size_t>(cols) * rows),
          m_state(static_cast<size_t>(cols) * rows, NONE),
          m_seq(static_cast<size_t>(cols) * rows, 0) {}

    int cycleOnce() {
        Cell current = m_start;
        if (!m_closed.empty()) {
            current = takeBest();
        }
        m_state[index(current)] = CLOSED;
        m_closed.push_back(current);
        if (current == m_goal) {
            return ox::PathFind::FOUND;
        }
        for (int dy = -1; dy <= 1; dy++) {
            for (int dx = -1; dx <= 1; dx++) {
                if ((dx != 0 || dy != 0) && !skip(current, dx, dy)) {
                    reach(current, dx, dy);
                }
            }
        }
        return m_open_count > 0 ? ox::PathFind::SEARCHING : ox::PathFind::FAILED;
    }

    const std::vector<Cell>& closed() const { return m_closed; }

private:
    enum State : unsigned char { NONE, OPEN, CLOSED };
    struct Entry {
        float f;
        std::uint64_t seq;
        Cell cell;
    };
    struct Later {
        bool operator()(const Entry& a, const Entry& b) const {
            return a.f > b.f || (a.f == b.f && a.seq < b.seq);
        }
    };

    size_t index(Cell c) const { return static_cast<size_t>(c.y) * m_cols + c.x; }

    static float distance(int dx, int dy) {
        return static_cast<float>(
            std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
    }

    Cell takeBest() {
        for (;;) {
            const Entry top = m_heap.top();
            m_heap.pop();
            const size_t i = index(top.cell);
            if (m_state[i] == OPEN && m_nodes[i].f == top.f) {
                m_open_count--;
                return top.cell;
            }
        }
    }

    bool skip(Cell c, int dx, int dy) const {
        const Cell n{c.x + dx, c.y + dy};
        if (n.x < 0 || n.y < 0 || n.x >= m_cols || n.y >= m_rows) {
            return true;
        }
        if (m_state[index(n)] == CLOSED || m_probe.isBlocked(n.x, n.y)) {
            return true;
        }
        return dx != 0 && dy != 0 && m_probe.isBlocked(c.x + dx, c.y) &&
               m_probe.isBlocked(c.x, c.y + dy);
    }

    void reach(Cell c, int dx, int dy) {
        const Cell n{c.x + dx, c.y + dy};
        const size_t i = index(n);
        const float g = distance(dx, dy) + m_nodes[index(c)].g;
        if (m_state[i] == OPEN && g > m_nodes[i].g) {
            return;
        }
        if (m_state[i] != OPEN) {
            m_state[i] = OPEN;
            m_seq[i] = m_next_seq++;
            m_open_count++;
        }
        ox::PathFind::Node& node = m_nodes[i];
        node.parent = c;
        node.g = g;
        node.f = g + distance(m_goal.x - n.x, m_goal.y - n.y);
        m_heap.push(Entry{node.f, m_seq[i], n});
    }

    const ox::PathFind& m_probe;
    int m_cols;
    int m_rows;
    Cell m_start;
    Cell m_goal;
    std::vector<ox::PathFind::Node> m_nodes;
    std::vector<State> m_state;
    std::vector<std::uint64_t> m_seq;
    std::priority_queue<Entry, std::vector<Entry>, Later> m_heap;
    std::uint64_t m_next_seq = 0;
    std::size_t m_open_count = 0;
    std::vector<Cell> m_closed;
};

/// Cumulative engine time after a number of cycles.
struct Checkpoint {
    double cycles;
    double seconds;
};

/// Least-squares fit of T(k) = a k + b k^2 / 2 to the checkpoints with
/// k <= up_to, evaluated at total.
double project(const std::vector<Checkpoint>& points, double up_to, double total) {
    double s11 = 0, s12 = 0, s22 = 0, t1 = 0, t2 = 0;
    for (const Checkpoint& p : points) {
        if (p.cycles > up_to) {
            break;
        }
        const double u = p.cycles;
        const double v = p.cycles * p.cycles / 2;
        s11 += u * u;
        s12 += u * v;
        s22 += v * v;
        t1 += u * p.seconds;
        t2 += v * p.seconds;
    }
    const double det = s11 * s22 - s12 * s12;
    const double a = (t1 * s22 - t2 * s12) / det;
    const double b = (s11 * t2 - s12 * t1) / det;
    return a * total + b * total * total / 2;
}

/// Mean time of one cycle over the last sixteenth of the checkpoints.
double lastCycleCost(const std::vector<Checkpoint>& points) {
    if (points.size() < 2) {
        return points.empty() ? 0.0 : points.back().seconds / points.back().cycles;
    }
    const Checkpoint& from = points[points.size() - 1 - (points.size() - 1 + 15) / 16];
    const Checkpoint& to = points.back();
    return (to.seconds - from.seconds) / (to.cycles - from.cycles);
}

void BM_PathFind(benchmark::State& state) {
    const int cols = static_cast<int>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    for (auto _ : state) {
        ox::Object* p_walker = buildWorld(cols, rows);
        const Cell start{1, 1};
        const Cell goal{cols - 2, rows - 2};

        // The engine's search, with a checkpoint every 64 cycles.
        ox::PathFind search(p_walker, start, goal);
        std::vector<Checkpoint> points;
        const Watch::time_point began = Watch::now();
        double elapsed = 0.0;
        int result = ox::PathFind::SEARCHING;
        long cycles = 0;
        while (result == ox::PathFind::SEARCHING && elapsed < ENGINE_CAP_SECONDS) {
            result = search.cycleOnce();
            cycles++;
            if ((cycles & 63) == 0 || result != ox::PathFind::SEARCHING) {
                elapsed = Seconds(Watch::now() - began).count();
                points.push_back({static_cast<double>(cycles), elapsed});
            }
        }
        state.SetIterationTime(elapsed);

        // The measuring aid, run to the end.
        HeapSearch heap(search, cols, rows);
        const Watch::time_point heap_began = Watch::now();
        long total = 0;
        for (int r = ox::PathFind::SEARCHING; r == ox::PathFind::SEARCHING; total++) {
            r = heap.cycleOnce();
        }
        const double heap_seconds = Seconds(Watch::now() - heap_began).count();

        const std::vector<Cell>& engine_closed = search.getClosedList();
        bool same = engine_closed.size() <= heap.closed().size();
        for (size_t i = 0; same && i < engine_closed.size(); i++) {
            same = engine_closed[i] == heap.closed()[i];
        }
        const bool finished = result != ox::PathFind::SEARCHING;
        same = same && (!finished || engine_closed.size() == heap.closed().size());
        const double projected =
            finished ? elapsed : project(points, static_cast<double>(cycles), total);

        state.counters["cycles"] = static_cast<double>(cycles);
        state.counters["total_cycles"] = static_cast<double>(total);
        state.counters["engine_s"] = elapsed;
        state.counters["us_per_cycle"] = elapsed * 1e6 / cycles;
        state.counters["last_us_per_cycle"] = lastCycleCost(points) * 1e6;
        state.counters["finished"] = finished ? 1 : 0;
        state.counters["found"] = search.isFound() || heap.closed().back() == goal ? 1 : 0;
        state.counters["projected_s"] = projected;
        state.counters["frames"] = projected / PATH_BUDGET_SECONDS;
        state.counters["heap_s"] = heap_seconds;
        state.counters["heap_us_per_cycle"] = heap_seconds * 1e6 / total;
        state.counters["same_choices"] = same ? 1 : 0;
        if (finished && cycles >= 4096) {
            state.counters["fit_error"] = project(points, cycles / 4.0, total) / elapsed - 1;
        }
        ox::WorldManager::getInstance().shutDown();
    }
}

BENCHMARK(BM_PathFind)
    ->Args({80, 24})
    ->Args({200, 200})
    ->Args({1000, 1000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
