#include "EventNetwork.h"

#include "LogManager.h"

namespace ox {

EventNetwork::EventNetwork(int new_label) {
    setType(NETWORK_EVENT);
    setLabel(new_label);
}

bool EventNetwork::isNetworkLabel(const std::string& event_type) {
    return event_type == NETWORK_EVENT || event_type == KEYBOARD_NETWORK_EVENT ||
           event_type == MOUSE_NETWORK_EVENT || event_type == NETWORK_CREATE_EVENT ||
           event_type == CUSTOM_NETWORK_EVENT || event_type == NETWORK_DELETE_EVENT ||
           event_type == NETWORK_GAME_OVER_EVENT || event_type == NETWORK_SYNC_EVENT;
}

void EventNetwork::setLabel(int new_label) {
    if (new_label < UNDEFINED_NETWORK_LABEL || new_label > MAX_NETWORK_LABEL) {
        LogManager::getInstance().writeLog("EventNetwork::setLabel(): Undefined type (%d).",
                                           new_label);
        new_label = UNDEFINED_NETWORK_LABEL;
    }
    m_label = new_label;
}

}  // namespace ox
