#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Event.h"
#include "LogCapture.h"
#include "Object.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ox_test {

/// One event as a Recorder (id receiver) received it; first, second and
/// where are a collision's object ids and position, else 0.
struct Delivery {
    int receiver;
    std::string type;
    int first;
    int second;
    ox::Vector where;

    bool operator==(const Delivery& other) const = default;
};

/// Every delivery to any Recorder, in the order they happened.
std::vector<Delivery>& journal();

/// A collision delivery as it should appear in the journal.
Delivery collisionDelivery(int receiver, int first, int second, ox::Vector where);
/// A plain delivery (no collision details) as it should appear in the journal.
Delivery plainDelivery(int receiver, const std::string& type);

/// An object that records every event it receives in journal(), then runs its
/// reaction (when set), and reports the event handled.
class Recorder : public ox::Object {
public:
    /// A recorder at position, with the given solidness.
    explicit Recorder(ox::Vector position = ox::Vector(1, 1), ox::Solidness solidness = ox::HARD);
    ~Recorder() override;

    int eventHandler(const ox::Event* p_e) override;

    /// Runs after the event is recorded.
    std::function<void(Recorder&, const ox::Event*)> reaction;

    /// Number of Recorder objects destroyed so far.
    static int destroyed();
};

/// Starts the log (at the given level) and the world manager with a boundary,
/// and shuts the world manager down (deleting every object) when destroyed.
class World {
public:
    explicit World(float width = 80, float height = 24, int log_level = 0);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    /// The captured log.
    LogCapture& log() { return *m_p_log; }

private:
    std::unique_ptr<LogCapture> m_p_log;
};

/// The pointers of an object list, in order.
std::vector<ox::Object*> contents(const ox::ObjectList& list);
/// True when the list holds the object.
bool holds(const ox::ObjectList& list, const ox::Object* p_o);
/// True when the object is in exactly the world's scene-graph lists that its
/// attributes (active, solid, visible, altitude, type) call for.
bool indexedRight(const ox::Object* p_o);

}  // namespace ox_test
