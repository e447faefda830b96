#include "WorldKit.h"

#include <algorithm>

#include "EventCollision.h"
#include "ObjectListIterator.h"
#include "SceneGraph.h"
#include "WorldManager.h"

namespace ox_test {

static int destroyed_count = 0;

std::vector<Delivery>& journal() {
    static std::vector<Delivery> deliveries;
    return deliveries;
}

Delivery collisionDelivery(int receiver, int first, int second, ox::Vector where) {
    return Delivery{receiver, ox::COLLISION_EVENT, first, second, where};
}

Delivery plainDelivery(int receiver, const std::string& type) {
    return Delivery{receiver, type, 0, 0, ox::Vector()};
}

Recorder::Recorder(ox::Vector position, ox::Solidness solidness) {
    setPosition(position);
    setSolidness(solidness);
}

Recorder::~Recorder() {
    destroyed_count++;
}

int Recorder::destroyed() {
    return destroyed_count;
}

int Recorder::eventHandler(const ox::Event* p_e) {
    const auto* p_c = dynamic_cast<const ox::EventCollision*>(p_e);
    journal().push_back(p_c ? collisionDelivery(getId(), p_c->getObject1()->getId(),
                                                p_c->getObject2()->getId(), p_c->getPosition())
                            : plainDelivery(getId(), p_e->getType()));
    if (reaction) {
        reaction(*this, p_e);
    }
    return 1;
}

World::World(float width, float height, int log_level)
    : m_p_log(std::make_unique<LogCapture>(log_level)) {
    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    world_manager.startUp();
    world_manager.setBoundary(ox::Box(ox::Vector(0, 0), width, height));
    world_manager.setView(ox::Box(ox::Vector(0, 0), width, height));
    journal().clear();
}

World::~World() {
    ox::WorldManager::getInstance().shutDown();
}

std::vector<ox::Object*> contents(const ox::ObjectList& list) {
    std::vector<ox::Object*> result;
    for (ox::ObjectListIterator it(&list); !it.isDone(); it.next()) {
        result.push_back(it.currentObject());
    }
    return result;
}

bool holds(const ox::ObjectList& list, const ox::Object* p_o) {
    const std::vector<ox::Object*> objects = contents(list);
    return std::find(objects.begin(), objects.end(), p_o) != objects.end();
}

bool indexedRight(const ox::Object* p_o) {
    const ox::SceneGraph& graph = ox::WorldManager::getInstance().getSceneGraph();
    const bool active = p_o->isActive();
    bool right = holds(graph.activeObjects(), p_o) == active &&
                 holds(graph.inactiveObjects(), p_o) == !active &&
                 holds(graph.solidObjects(), p_o) == (active && p_o->isSolid()) &&
                 holds(graph.objectsOfType(p_o->getType()), p_o) == active;
    for (int altitude = 0; altitude <= ox::MAX_ALTITUDE; altitude++) {
        right = right && holds(graph.visibleObjects(altitude), p_o) ==
                             (active && p_o->isVisible() && p_o->getAltitude() == altitude);
    }
    return right;
}

}  // namespace ox_test
