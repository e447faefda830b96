#include "Manager.h"

#include <utility>

#include "Event.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"

namespace ox {

Manager::Manager() : m_type("Manager"), m_event_list_count(0), m_is_started(false) {}

Manager::~Manager() {
    m_is_started = false;
}

bool Manager::isValid(std::string) const {
    return false;
}

int Manager::startUp() {
    if (m_is_started) {
        LogManager::getInstance().writeLog(1, "Manager::startUp(): Warning! %s already started.",
                                           m_type.c_str());
    }
    m_is_started = true;
    return 0;
}

void Manager::shutDown() {
    if (!m_is_started) {
        LogManager::getInstance().writeLog(1, "Manager::shutDown(): Warning! %s not started.",
                                           m_type.c_str());
    }
    m_is_started = false;
}

std::string Manager::getType() const {
    return m_type;
}

void Manager::setType(std::string new_type) {
    m_type = std::move(new_type);
}

bool Manager::refuseRestart() const {
    if (m_is_started) {
        LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.",
                                           m_type.c_str(), m_type.c_str());
    }
    return m_is_started;
}

bool Manager::isStarted() const {
    return m_is_started;
}

int Manager::findEntry(const std::string& event_type) const {
    for (int i = 0; i < m_event_list_count; i++) {
        if (m_event_name[i] == event_type) {
            return i;
        }
    }
    return -1;
}

int Manager::registerInterest(Object* p_o, std::string event_type) {
    if (!isValid(event_type)) {
        LogManager::getInstance().writeLog(
            "Manager(%s)::registerInterest(): Event '%s' not valid for this Manager",
            m_type.c_str(), event_type.c_str());
        return -1;
    }
    const int entry = findEntry(event_type);
    if (entry >= 0) {
        ObjectList& list = m_obj_list[entry];
        for (int i = 0; i < list.getCount(); i++) {
            if (list[i] == p_o) {
                LogManager::getInstance().writeLog(1,
                                                   "Manager::registerInterest(): Warning! Not "
                                                   "adding id %d (%s) twice for event %s.",
                                                   p_o->getId(), p_o->getType().c_str(),
                                                   event_type.c_str());
                return 0;
            }
        }
        return list.insert(p_o);
    }
    if (m_event_list_count == MAX_EVENTS) {
        return -1;
    }
    // A slot freed earlier may still hold old pointers.
    m_obj_list[m_event_list_count].clear();
    if (m_obj_list[m_event_list_count].insert(p_o) != 0) {
        return -1;
    }
    m_event_name[m_event_list_count] = event_type;
    m_event_list_count++;
    return 0;
}

int Manager::unregisterInterest(Object* p_o, std::string event_type) {
    if (m_event_list_count < 1) {
        return -1;
    }
    const int entry = findEntry(event_type);
    if (entry < 0 || m_obj_list[entry].remove(p_o) != 0) {
        return -1;
    }
    if (!m_obj_list[entry].isEmpty()) {
        return 0;
    }
    for (int i = entry; i < m_event_list_count - 1; i++) {
        m_event_name[i] = m_event_name[i + 1];
        m_obj_list[i] = m_obj_list[i + 1];
    }
    m_event_list_count--;
    return 0;
}

int Manager::onEvent(const Event* p_event) const {
    LogManager& log = LogManager::getInstance();
    if (p_event == nullptr) {
        log.writeLog("Manager(%s)::onEvent(): Error! Null event.", m_type.c_str());
        return 0;
    }
    const std::string event_type = p_event->getType();
    if (event_type == UNDEFINED_EVENT) {
        log.writeLog(1, "Manager(%s)::onEvent(): Warning! Event type %s is undefined.",
                     m_type.c_str(), event_type.c_str());
        return 0;
    }
    if (!isValid(event_type)) {
        log.writeLog(1, "Manager(%s)::onEvent(): Error! Event type %s not valid.", m_type.c_str(),
                     event_type.c_str());
        return 0;
    }
    int handled = 0;
    for (int i = 0; i < m_event_list_count; i++) {
        if (m_event_name[i] != event_type) {
            continue;
        }
        // Deliver from a copy: handlers may change the interest lists meanwhile.
        const ObjectList receivers = m_obj_list[i];
        for (ObjectListIterator li(&receivers); !li.isDone(); li.next()) {
            Object* p_o = li.currentObject();
            if (p_o->isActive() && p_o->eventHandler(p_event) != 0) {
                handled++;
            }
        }
    }
    return handled;
}

}  // namespace ox
