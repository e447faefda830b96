#pragma once

#include "ObjectList.h"

namespace ox {

/// Walks an object list by index. The list's count is read afresh on every
/// call, so pointers appended during the walk are still reached.
class ObjectListIterator {
public:
    /// An iterator at the first entry of the list.
    explicit ObjectListIterator(const ObjectList* p_list);

    /// Moves to the first entry.
    void first();

    // The walk's steps are defined here so that loops over large lists
    // (collision queries, the world's update) can inline them.

    /// Moves to the next entry, never beyond the list's current count.
    void next() {
        if (m_index < count()) {
            m_index++;
        }
    }

    /// True when the index has reached the list's current count.
    bool isDone() const { return m_index >= count(); }

    /// The pointer at the current entry, or null when done.
    Object* currentObject() const { return isDone() ? nullptr : m_p_list->m_p_list[m_index]; }

private:
    /// The list's current count; 0 when there is no list.
    int count() const { return m_p_list == nullptr ? 0 : m_p_list->m_count; }

    int m_index;                 ///< Current entry.
    const ObjectList* m_p_list;  ///< The list walked.
};

}  // namespace ox
