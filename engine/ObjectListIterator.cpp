#include "ObjectListIterator.h"

namespace ox {

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_index(0), m_p_list(p_list) {}

void ObjectListIterator::first() {
    m_index = 0;
}

}  // namespace ox
