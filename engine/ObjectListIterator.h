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

    /// Moves to the next entry, never beyond the list's current count.
    void next();

    /// True when the index has reached the list's current count.
    bool isDone() const;

    /// The pointer at the current entry, or null when done.
    Object* currentObject() const;

private:
    /// The list's current count; 0 when there is no list.
    int count() const;

    int m_index;                 ///< Current entry.
    const ObjectList* m_p_list;  ///< The list walked.
};

}  // namespace ox
