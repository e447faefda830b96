#pragma once

// What the fuzz targets share: a loud stop, and the engine's log and an
// 80 x 24 world started, as a game has them.

#include <cstdio>
#include <cstdlib>

#include "Box.h"
#include "LogManager.h"
#include "Platform.h"
#include "Vector.h"
#include "WorldManager.h"

namespace fuzz {

/// Stops the run with a message: a finding, or a target that cannot do its work.
[[noreturn]] inline void fail(const char* target, const char* what) {
    std::fprintf(stderr, "%s: Error! %s\n", target, what);
    std::abort();
}

/// Starts the log (to nowhere unless ORVIX_LOG says otherwise) and a world
/// of 80 x 24 cells with its view.
inline void startWorld() {
    ox::platform::setEnvironment("ORVIX_LOG", "/dev/null", false);
    ox::LogManager::getInstance().startUp();
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(ox::Box(ox::Vector(0, 0), 80, 24));
    world.setView(ox::Box(ox::Vector(0, 0), 80, 24));
}

}  // namespace fuzz
