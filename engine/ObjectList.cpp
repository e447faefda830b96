#include "ObjectList.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "LogManager.h"

namespace ox {

ObjectList::ObjectList() : m_count(0), m_max_count(0), m_p_list(nullptr) {
    m_p_list = static_cast<Object**>(std::malloc(sizeof(Object*)));
    if (m_p_list != nullptr) {
        m_max_count = 1;
    }
}

ObjectList::ObjectList(const ObjectList& other) : m_count(0), m_max_count(0), m_p_list(nullptr) {
    copyFrom(other);
}

ObjectList& ObjectList::operator=(const ObjectList& other) {
    if (this != &other) {
        std::free(m_p_list);
        m_p_list = nullptr;
        copyFrom(other);
    }
    return *this;
}

ObjectList::~ObjectList() {
    std::free(m_p_list);
}

void ObjectList::copyFrom(const ObjectList& other) {
    m_count = 0;
    m_max_count = 0;
    m_p_list = nullptr;
    if (other.m_max_count < 1) {
        return;
    }
    m_p_list = static_cast<Object**>(std::malloc(sizeof(Object*) * other.m_max_count));
    if (m_p_list == nullptr) {
        return;
    }
    if (other.m_count > 0) {
        std::memcpy(m_p_list, other.m_p_list, sizeof(Object*) * other.m_count);
    }
    m_count = other.m_count;
    m_max_count = other.m_max_count;
}

int ObjectList::grow() {
    // A list whose first allocation failed has no slot to double: start at one.
    if (m_max_count > INT_MAX / 2) {
        return -1;
    }
    const int new_max = m_max_count < 1 ? 1 : m_max_count * 2;
    void* p_new = std::realloc(m_p_list, sizeof(Object*) * new_max);
    if (p_new == nullptr) {
        return -1;
    }
    m_p_list = static_cast<Object**>(p_new);
    m_max_count = new_max;
    return 0;
}

int ObjectList::insert(Object* p_o) {
    if (p_o == nullptr) {
        return -1;
    }
    if (m_count == m_max_count && grow() != 0) {
        return -1;
    }
    m_p_list[m_count++] = p_o;
    return 0;
}

int ObjectList::remove(Object* p_o) {
    for (int i = 0; i < m_count; i++) {
        if (m_p_list[i] == p_o) {
            std::memmove(&m_p_list[i], &m_p_list[i + 1], sizeof(Object*) * (m_count - i - 1));
            m_count--;
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear() {
    m_count = 0;
}

bool ObjectList::isEmpty() const {
    return m_count == 0;
}

int ObjectList::getCount() const {
    return m_count;
}

int ObjectList::getMaxCount() const {
    return m_max_count;
}

Object* ObjectList::operator[](int index) const {
    if (index < 0 || index >= m_count) {
        LogManager::getInstance().writeLog(
            "ObjectList::operator[](): Error! Index %d out of range [0, %d]", index, m_count - 1);
        throw std::out_of_range("ObjectList::operator[](): Invalid index!");
    }
    return m_p_list[index];
}

ObjectList ObjectList::operator+(ObjectList other) const {
    ObjectList sum(*this);
    for (int i = 0; i < other.m_count; i++) {
        // insert skips null pointers, and an object is skipped when the list cannot grow.
        sum.insert(other.m_p_list[i]);
    }
    return sum;
}

}  // namespace ox
