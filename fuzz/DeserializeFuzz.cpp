// libFuzzer target of the two record readers, Object::deserialize and
// ViewObject::deserialize. The first byte of an input picks the reader (even:
// a plain object, odd: a view object); the rest is the record. Each input
// gets a fresh object in a started world, so a finding reproduces from its
// input alone. Whatever a record leaves must be a whole object: attributes in
// range, filed in exactly the scene graph's right lists, writable again and
// movable by the world. The sanitizers turn any memory fault, overflow or leak
// into a finding, and -malloc_limit_mb catches any allocation beyond the caps.
// Built and run as the README's fuzzing section shows.
// The log goes to "ORVIX_LOG" when set, else nowhere.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "Box.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectList.h"
#include "SceneGraph.h"
#include "Vector.h"
#include "ViewObject.h"
#include "WorldManager.h"

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "DeserializeFuzz: Error! %s\n", what);
    std::abort();
}

bool holds(ox::ObjectList list, const ox::Object* p_o) {
    for (int i = 0; i < list.getCount(); i++) {
        if (list[i] == p_o) {
            return true;
        }
    }
    return false;
}

/// Attributes in range, and the object in exactly the lists its state names.
bool whole(const ox::Object& o) {
    const ox::SceneGraph& graph = ox::WorldManager::getInstance().getSceneGraph();
    const bool active = o.isActive();
    bool right = o.getAltitude() >= 0 && o.getAltitude() <= ox::MAX_ALTITUDE &&
                 o.getSolidness() >= ox::HARD && o.getSolidness() <= ox::SPECTRAL &&
                 o.getEventCount() >= 0 && o.getEventCount() <= ox::MAX_OBJ_EVENTS &&
                 holds(graph.activeObjects(), &o) == active &&
                 holds(graph.inactiveObjects(), &o) == !active &&
                 holds(graph.solidObjects(), &o) == (active && o.isSolid());
    for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
        right = right && holds(graph.visibleObjects(altitude), &o) ==
                             (active && o.isVisible() && o.getAltitude() == altitude);
    }
    return right;
}

/// Fails loudly unless a record the engine wrote is read back by a fresh object.
void checkReachesParsers() {
    ox::Object source;
    source.setType("Probe");
    source.setAltitude(3);
    std::ostringstream out(std::ios::out | std::ios::binary);
    source.serialize(&out, ox::TYPE | ox::ALTITUDE);
    std::istringstream in(out.str(), std::ios::in | std::ios::binary);
    ox::Object reader;
    if (reader.deserialize(&in) != 0 || reader.getType() != "Probe" || reader.getAltitude() != 3) {
        fail("A record the engine wrote was not read back.");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ORVIX_LOG", "/dev/null", 0);
    ox::LogManager::getInstance().startUp();
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(ox::Box(ox::Vector(0, 0), 80, 24));
    world.setView(ox::Box(ox::Vector(0, 0), 80, 24));
    checkReachesParsers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string record(reinterpret_cast<const char*>(data + 1), size - 1);
    std::istringstream stream(record, std::ios::in | std::ios::binary);
    ox::Object* p_reader = (data[0] % 2 == 0) ? new ox::Object : new ox::ViewObject;
    unsigned int mask = 0;
    const int result = p_reader->deserialize(&stream, &mask);
    if ((result != 0 && result != -1) || !whole(*p_reader)) {
        fail("A record left its object broken.");
    }
    // Whatever was read must be writable again, and movable by the world.
    std::ostringstream out(std::ios::out | std::ios::binary);
    p_reader->serialize(&out, ox::ALL_OBJECT_ATTRIBUTES | ox::VALUE | ox::APPEARANCE);
    ox::WorldManager::getInstance().update();
    delete p_reader;
    return 0;
}
