#include "Event.h"

#include <utility>

namespace ox {

Event::Event() : m_type(UNDEFINED_EVENT) {}

Event::~Event() = default;

void Event::setType(std::string new_type) {
    m_type = std::move(new_type);
}

std::string Event::getType() const {
    return m_type;
}

}  // namespace ox
