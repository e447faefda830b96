#include "ObjectListIterator.h"

namespace ox {

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_index(0), m_p_list(p_list) {}

void ObjectListIterator::first() {
    m_index = 0;
}

void ObjectListIterator::next() {
    if (m_index < count()) {
        m_index++;
    }
}

bool ObjectListIterator::isDone() const {
    return m_index >= count();
}

Object* ObjectListIterator::currentObject() const {
    if (isDone()) {
        return nullptr;
    }
    return m_p_list->m_p_list[m_index];
}

int ObjectListIterator::count() const {
    return m_p_list == nullptr ? 0 : m_p_list->m_count;
}

}  // namespace ox
