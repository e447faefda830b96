// The path benchmarks' world: a seeded scatter of HARD rectangles and a
// walker, the same map for the same size in every benchmark.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "Box.h"
#include "LogManager.h"
#include "Object.h"
#include "Vector.h"
#include "WorldManager.h"

namespace ox_bench {

/// Share of the world's area the obstacles cover.
constexpr double OBSTACLE_AREA = 0.15;

/// Starts the log (once, in a directory of our own) and the world on cols x
/// rows cells, scattering HARD rectangles of 1 to 5 cells a side, seeded by
/// the size, until they cover OBSTACLE_AREA of the world, keeping the
/// corners free. Returns the walker, at cell (1, 1).
inline ox::Object* buildObstacleWorld(int cols, int rows) {
    static bool log_started = false;
    if (!log_started) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("orvix-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        setenv("ORVIX_LOG", (dir / "bench.log").c_str(), 1);
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

}  // namespace ox_bench
