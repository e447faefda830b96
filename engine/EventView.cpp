#include "EventView.h"

#include <utility>

namespace ox {

EventView::EventView() {
    setType(VIEW_EVENT);
}

EventView::EventView(std::string new_tag, int new_value, bool new_delta)
    : m_tag(std::move(new_tag)), m_value(new_value), m_delta(new_delta) {
    setType(VIEW_EVENT);
}

void EventView::setTag(std::string new_tag) {
    m_tag = std::move(new_tag);
}

}  // namespace ox
