#pragma once

#include <vector>

#include "Manager.h"

namespace ox {

class Clock;
class Object;
class PathFind;

/// Runs the path searches in progress, in turn, within the spare part of each
/// frame, and hands each search's outcome (an "ox-path" event) straight to the
/// searching object. The searches belong to their objects, not to this manager.
class PathManager : public Manager {
public:
    /// The one instance, created on first use.
    static PathManager& getInstance();

    /// Takes the least cycle time from the frame time; 0, or -1 when already started.
    int startUp() override;
    /// Stops the manager; the searches in the list are left to their objects.
    void shutDown() override;

    /// Runs searches for max(least cycle time, budget) milliseconds, or until
    /// none is left; reports each one that ends to its object.
    void cycle(int budget);
    /// Adds a search to be run; 0, or -1 for null, a search already in the
    /// list, or a manager not started.
    int insert(PathFind* p_path_find);
    /// Takes every occurrence of a search out of the list; 0, or -1 for null
    /// or a search not in the list.
    int remove(PathFind* p_path_find);
    /// Makes every search that is heading for the object forget it (the
    /// object is leaving the world).
    void forgetTarget(const Object* p_target);

    /// Number of searches in the list.
    int getCount() const { return static_cast<int>(m_path_finds.size()); }
    /// The least time a cycle may spend, in milliseconds.
    int getMinCycleTime() const { return m_min_cycle_time; }

private:
    PathManager();

    /// One pass over the list, each search one step, stopping early when
    /// more than limit milliseconds have passed on the clock.
    void runPass(const Clock& clock, int limit);
    /// Hands a search's outcome to its object.
    static void report(PathFind* p_path_find, int status);

    std::vector<PathFind*> m_path_finds;  ///< Searches in progress. Not owned.
    int m_min_cycle_time;                 ///< Least cycle time in milliseconds.
};

}  // namespace ox
