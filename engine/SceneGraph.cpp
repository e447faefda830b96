#include "SceneGraph.h"

#include "GameManager.h"
#include "LogManager.h"
#include "ObjectListIterator.h"
#include "utility.h"

namespace ox {

namespace {

/// Failures of list upkeep are reported and counted only while the game is
/// not over; during the final tear-down they are expected and silent.
bool reportable() {
    return !GameManager::getInstance().getGameOver();
}

bool altitudeInRange(int altitude) {
    return inRange(static_cast<float>(altitude), 0.0f, static_cast<float>(MAX_ALTITUDE));
}

}  // namespace

SceneGraph::SceneGraph() = default;

int SceneGraph::startUp() {
    m_type_map.clear();
    LogManager::getInstance().writeLog(1, "Scenegraph configuration: GRID");
    if (m_grid.startUp() != 0) {
        return -1;
    }
    return reindex();
}

void SceneGraph::shutDown() {
    m_type_map.clear();
    m_grid.shutDown();
}

int SceneGraph::reindex() {
    int result = 0;
    for (ObjectListIterator it(&m_objects); !it.isDone(); it.next()) {
        Object* p_o = it.currentObject();
        if (m_type_map[p_o->getType()].insert(p_o) != 0) {
            result = -1;
        }
        if (p_o->isSolid() && m_grid.insertObject(p_o) != 0) {
            result = -1;
        }
    }
    return result;
}

ObjectList* SceneGraph::visibleList(int altitude) {
    return altitudeInRange(altitude) ? &m_visible_objects[altitude] : nullptr;
}

int SceneGraph::removeFromTypeMap(Object* p_o) {
    auto entry = m_type_map.find(p_o->getType());
    return entry == m_type_map.end() ? -1 : entry->second.remove(p_o);
}

int SceneGraph::insertObject(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o->isActive()) {
        return m_inactive_objects.insert(p_o);
    }
    if (m_objects.insert(p_o) != 0) {
        log_manager.writeLog(
            "SceneGraph::insertObject(): Error! unable to insert active Object (id %d)",
            p_o->getId());
        return -1;
    }
    if (m_type_map[p_o->getType()].insert(p_o) != 0) {
        log_manager.writeLog(
            "SceneGraph::insertObject(): Error! unable to insert Object (id %d) into type map",
            p_o->getId());
        return -1;
    }
    if (p_o->isSolid()) {
        if (m_solid_objects.insert(p_o) != 0) {
            log_manager.writeLog(
                "SceneGraph::insertObject(): Error! unable to insert solid Object (id %d)",
                p_o->getId());
            return -1;
        }
        if (m_grid.insertObject(p_o) != 0) {
            log_manager.writeLog("SceneGraph::insertObject(): Error! unable to add to Grid (id %d)",
                                 p_o->getId());
            return -1;
        }
    }
    if (p_o->isVisible()) {
        ObjectList* p_visible = visibleList(p_o->getAltitude());
        if (p_visible == nullptr) {
            log_manager.writeLog(
                "SceneGraph::insertObject(): Warning! Altitude %d not in range [%d,%d]",
                p_o->getAltitude(), 0, MAX_ALTITUDE);
            return -1;
        }
        if (p_visible->insert(p_o) != 0) {
            log_manager.writeLog(
                "SceneGraph::insertObject(): Error! unable to insert visible object (id %d)",
                p_o->getId());
            return -1;
        }
    }
    return 0;
}

int SceneGraph::removeObject(Object* p_o) {
    int sum = 0;
    if (!p_o->isActive()) {
        sum += m_inactive_objects.remove(p_o);
    } else {
        sum += m_objects.remove(p_o);
        sum += removeFromTypeMap(p_o);
        if (p_o->isVisible()) {
            ObjectList* p_visible = visibleList(p_o->getAltitude());
            sum += p_visible != nullptr ? p_visible->remove(p_o) : -1;
        }
        if (p_o->isSolid()) {
            sum += m_solid_objects.remove(p_o);
            sum += m_grid.removeObject(p_o);
        }
    }
    if (sum < 0) {
        LogManager::getInstance().writeLog(
            "SceneGraph::removeObject(): Error removing Object (id %d)! Pointer is %p.",
            p_o->getId(), static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

ObjectList SceneGraph::activeObjects() const {
    return m_objects;
}

ObjectList SceneGraph::inactiveObjects() const {
    return m_inactive_objects;
}

ObjectList SceneGraph::solidObjects() const {
    return m_solid_objects;
}

ObjectList SceneGraph::visibleObjects(int altitude) const {
    if (!altitudeInRange(altitude)) {
        LogManager::getInstance().writeLog(
            "SceneGraph::visibleObjects(): Warning! altitude %d not in [%d,%d].", altitude, 0,
            MAX_ALTITUDE);
        return ObjectList();
    }
    return m_visible_objects[altitude];
}

ObjectList SceneGraph::objectsOfType(const std::string& type) const {
    auto entry = m_type_map.find(type);
    return entry == m_type_map.end() ? ObjectList() : entry->second;
}

ObjectList SceneGraph::getCollisions(const Object* p_o, Vector where) const {
    return m_grid.getCollisions(p_o, where);
}

int SceneGraph::updateActive(Object* p_o, bool new_active) {
    if (p_o->isActive() == new_active) {
        return 0;
    }
    return new_active ? activate(p_o) : deactivate(p_o);
}

int SceneGraph::deactivate(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    const std::string type = p_o->getType();
    int result = 0;
    if (m_objects.remove(p_o) != 0 && reportable()) {
        log_manager.writeLog("SceneGraph::updateActive(): remove object (%s) failed for objects!",
                             type.c_str());
        result = -1;
    }
    if (removeFromTypeMap(p_o) != 0) {
        result = -1;
    }
    if (p_o->isVisible()) {
        ObjectList* p_visible = visibleList(p_o->getAltitude());
        if ((p_visible == nullptr || p_visible->remove(p_o) != 0) && reportable()) {
            log_manager.writeLog(
                "SceneGraph::updateActive(): remove visible object (%s) failed for "
                "visible_objects!",
                type.c_str());
            result = -1;
        }
    }
    if (p_o->isSolid()) {
        if (m_solid_objects.remove(p_o) != 0 && reportable()) {
            log_manager.writeLog(
                "SceneGraph::updateActive(): remove object (%s) failed for solid_objects!",
                type.c_str());
            result = -1;
        }
        if (m_grid.removeObject(p_o) != 0) {
            return -1;
        }
    }
    if (m_inactive_objects.insert(p_o) != 0 && reportable()) {
        log_manager.writeLog(
            "SceneGraph::updateActive(): insert object (%s) failed for inactive_objects!",
            type.c_str());
        result = -1;
    }
    return result;
}

int SceneGraph::activate(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    const std::string type = p_o->getType();
    int result = 0;
    if (m_objects.insert(p_o) != 0 && reportable()) {
        log_manager.writeLog("SceneGraph::updateActive(): insert Object (%s) failed for objects!",
                             type.c_str());
        result = -1;
    }
    if (m_type_map[p_o->getType()].insert(p_o) != 0) {
        log_manager.writeLog(
            "SceneGraph::updateActive(): Error! insert Object (%s) failed for type map!",
            type.c_str());
        return -1;
    }
    if (p_o->isVisible()) {
        ObjectList* p_visible = visibleList(p_o->getAltitude());
        if ((p_visible == nullptr || p_visible->insert(p_o) != 0) && reportable()) {
            log_manager.writeLog(
                "SceneGraph::updateActive(): insert Object (%s) failed for visible_objects!",
                type.c_str());
            result = -1;
        }
    }
    if (p_o->isSolid()) {
        if (m_solid_objects.insert(p_o) != 0 && reportable()) {
            log_manager.writeLog(
                "SceneGraph::updateActive(): insert object (%s) failed for solid_objects!",
                type.c_str());
            result = -1;
        }
        if (m_grid.insertObject(p_o) != 0) {
            return -1;
        }
    }
    if (m_inactive_objects.remove(p_o) != 0 && reportable()) {
        log_manager.writeLog(
            "SceneGraph::updateActive(): remove object (%s) failed for inactive_objects!",
            type.c_str());
        result = -1;
    }
    return result;
}

int SceneGraph::updateVisible(Object* p_o, bool new_visible) {
    if (!p_o->isActive() || p_o->isVisible() == new_visible) {
        return 0;
    }
    ObjectList* p_visible = visibleList(p_o->getAltitude());
    if (!new_visible) {
        if ((p_visible == nullptr || p_visible->remove(p_o) != 0) && reportable()) {
            LogManager::getInstance().writeLog(
                "SceneGraph::updateVisible(): unable to remove visible object (%s)",
                p_o->getType().c_str());
            return -1;
        }
        return 0;
    }
    if ((p_visible == nullptr || p_visible->insert(p_o) != 0) && reportable()) {
        LogManager::getInstance().writeLog(
            "SceneGraph::updateVisible(): unable to add visible object (%s)",
            p_o->getType().c_str());
        return -1;
    }
    return 0;
}

int SceneGraph::updateAltitude(Object* p_o, int new_altitude) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o->isActive()) {
        return 0;
    }
    if (!altitudeInRange(new_altitude)) {
        log_manager.writeLog(
            "SceneGraph::updateAltitude(): New altitude %d not in [%d,%d]!  No update.",
            new_altitude, 0, MAX_ALTITUDE);
        return -1;
    }
    const int old_altitude = p_o->getAltitude();
    if (!altitudeInRange(old_altitude)) {
        log_manager.writeLog(
            "SceneGraph::updateAltitude(): Old altitude %d not in [%d,%d]! This is unxepected. "
            "No update.",
            old_altitude, 0, MAX_ALTITUDE);
        return -1;
    }
    if (!p_o->isVisible()) {
        return 0;
    }
    if (m_visible_objects[old_altitude].remove(p_o) != 0) {
        if (!reportable()) {
            return 0;
        }
        log_manager.writeLog("SceneGraph::updateAltitude(): remove from old altitude (%d) failed!",
                             old_altitude);
        log_manager.writeLog("\tObject: type %s, id %d, p %p", p_o->getType().c_str(), p_o->getId(),
                             static_cast<void*>(p_o));
        return -1;
    }
    if (m_visible_objects[new_altitude].insert(p_o) != 0) {
        log_manager.writeLog(
            "SceneGraph::updateAltitude()): insert visible object at altitude %d failed!",
            new_altitude);
        return -1;
    }
    return 0;
}

int SceneGraph::updateSolidness(Object* p_o, Solidness new_solidness) {
    LogManager& log_manager = LogManager::getInstance();
    if (!p_o->isActive()) {
        return 0;
    }
    if (p_o->isSolid() && new_solidness == SPECTRAL) {
        if (m_solid_objects.remove(p_o) != 0 && reportable()) {
            log_manager.writeLog(
                "SceneGraph::updateSolidness(): unable to remove solid object (%s)",
                p_o->getType().c_str());
        }
        if (m_grid.removeObject(p_o) != 0) {
            return -1;
        }
    }
    if (p_o->isSolid() || new_solidness == SPECTRAL) {
        return 0;
    }
    if (m_solid_objects.insert(p_o) != 0 && reportable()) {
        log_manager.writeLog("SceneGraph::updateSolidness(): Error! unable to insert solid object");
        return -1;
    }
    log_manager.writeLog(20, "SceneGraph::updateSolidness(): Adding to grid.");
    if (m_grid.insertObject(p_o) != 0) {
        log_manager.writeLog(
            "SceneGraph::updateSolidness(): Error! unable to insert solid object (%d) into grid",
            p_o->getId());
        return -1;
    }
    return 0;
}

int SceneGraph::updateType(Object* p_o, const std::string& new_type) {
    LogManager& log_manager = LogManager::getInstance();
    if (removeFromTypeMap(p_o) != 0) {
        // Also the case of an inactive object, which the type map does not hold:
        // the map is left alone.
        if (!reportable()) {
            return 0;
        }
        log_manager.writeLog(
            "SceneGraph::updateType(): Error! Unable to remove Object (%d) type %s", p_o->getId(),
            p_o->getType().c_str());
        return -1;
    }
    if (m_type_map[new_type].insert(p_o) != 0 && reportable()) {
        log_manager.writeLog(
            "SceneGraph::updateType(): Error! Unable to insert Object (%d) type %s", p_o->getId(),
            p_o->getType().c_str());
        return -1;
    }
    return 0;
}

int SceneGraph::updatePosition(Object* p_o, Vector new_position) {
    if (!p_o->isActive() || !p_o->isSolid()) {
        return 0;
    }
    if (m_grid.updatePosition(p_o, new_position) != 0) {
        LogManager::getInstance().writeLog(
            "SceneGraph::updatePosition(): Error! Calling grid updatePosition (Object %d).",
            p_o->getId());
        return -1;
    }
    return 0;
}

}  // namespace ox
