#include "PathManager.h"

#include <algorithm>

#include "Clock.h"
#include "EventPath.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Object.h"
#include "PathFind.h"

namespace ox {

namespace {

/// Whole milliseconds passed on the clock, truncated.
std::int64_t elapsedMilliseconds(const Clock& clock) {
    return clock.split() / 1000;
}

}  // namespace

PathManager::PathManager() : m_min_cycle_time(0) {
    setType("PathManager");
}

PathManager& PathManager::getInstance() {
    static PathManager path_manager;
    return path_manager;
}

int PathManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    m_min_cycle_time = GameManager::getInstance().getFrameTime() / 10;
    Manager::startUp();
    log_manager.writeLog(5, "PathManager::startUp(): successfully started.");
    return 0;
}

void PathManager::shutDown() {
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "PathManager::shutDown(): successfully stopped.");
}

void PathManager::cycle(int budget) {
    if (m_path_finds.empty()) {
        return;
    }
    const int limit = std::max(m_min_cycle_time, budget);
    const Clock clock;
    while (!m_path_finds.empty()) {
        if (elapsedMilliseconds(clock) >= limit) {
            break;
        }
        runPass(clock, limit);
    }
    if (elapsedMilliseconds(clock) > limit) {
        LogManager::getInstance().writeLog(5, "PathManager::cycle(): cycle time %d exceeded.",
                                           limit);
    }
}

void PathManager::runPass(const Clock& clock, int limit) {
    // A handler usually removes the search it is told about, which moves the
    // next one into this position; that one is served in the next pass.
    for (size_t i = 0; i < m_path_finds.size(); i++) {
        PathFind* p_path_find = m_path_finds[i];
        const int result = p_path_find->cycleOnce();
        if (result == PathFind::FAILED || result == PathFind::FOUND) {
            report(p_path_find, result);
        }
        if (elapsedMilliseconds(clock) > limit) {
            return;
        }
    }
}

void PathManager::report(PathFind* p_path_find, int status) {
    EventPath event;
    event.setStatus(status);
    event.setPath(p_path_find->getPath());
    if (Object* p_o = p_path_find->getObject()) {
        p_o->eventHandler(&event);
    }
}

int PathManager::insert(PathFind* p_path_find) {
    LogManager& log_manager = LogManager::getInstance();
    if (p_path_find == nullptr) {
        log_manager.writeLog("PathManager::insert(): Error! PathFind is NULL.");
        return -1;
    }
    if (!isStarted()) {
        log_manager.writeLog("PathManager::insert(): Error! PathManager not started.");
        return -1;
    }
    if (std::find(m_path_finds.begin(), m_path_finds.end(), p_path_find) != m_path_finds.end()) {
        log_manager.writeLog("PathManager::insert(): Error! PathFind %p already in the list.",
                             static_cast<void*>(p_path_find));
        return -1;
    }
    m_path_finds.push_back(p_path_find);
    return 0;
}

int PathManager::remove(PathFind* p_path_find) {
    LogManager& log_manager = LogManager::getInstance();
    if (p_path_find == nullptr) {
        log_manager.writeLog("PathManager::remove(): Error! PathFind is NULL.");
        return -1;
    }
    const auto kept = std::remove(m_path_finds.begin(), m_path_finds.end(), p_path_find);
    if (kept == m_path_finds.end()) {
        log_manager.writeLog("PathManager::remove(): Error! PathFind %p not in the list.",
                             static_cast<void*>(p_path_find));
        return -1;
    }
    m_path_finds.erase(kept, m_path_finds.end());
    return 0;
}

void PathManager::forgetTarget(const Object* p_target) {
    for (PathFind* p_path_find : m_path_finds) {
        if (p_path_find->getTarget() == p_target) {
            p_path_find->clearTarget();
        }
    }
}

}  // namespace ox
