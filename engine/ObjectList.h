#pragma once

namespace ox {

class Object;
class ObjectListIterator;

/// A growable array of object pointers. It never owns the objects; lists are
/// copied by value wherever they are handed out.
class ObjectList {
public:
    /// An empty list with one slot (no slot when the allocation failed).
    ObjectList();

    /// A copy with the source's slot count and pointers; empty on allocation failure.
    ObjectList(const ObjectList& other);

    /// Replaces this list's contents with a copy of the other's.
    ObjectList& operator=(const ObjectList& other);

    /// Frees the slots (never the objects).
    ~ObjectList();

    /// Appends a pointer, doubling the slots when full. -1 for a null pointer
    /// or when the list cannot grow (list unchanged), else 0.
    int insert(Object* p_o);

    /// Removes the first occurrence, keeping the order of the rest. -1 when absent, else 0.
    int remove(Object* p_o);

    /// Empties the list; the slots stay allocated.
    void clear();

    /// True when the list holds no pointer.
    bool isEmpty() const;

    /// Number of pointers held.
    int getCount() const;

    /// Number of slots allocated.
    int getMaxCount() const;

    /// The pointer at index; logs and throws std::out_of_range outside [0, count - 1].
    Object* operator[](int index) const;

    /// A copy of this list followed by every non-null pointer of the other.
    ObjectList operator+(ObjectList other) const;

private:
    friend class ObjectListIterator;

    /// Makes room for one more pointer; -1 when the slots cannot grow.
    int grow();

    /// Takes a copy of the other's slots; empty (no slots) on allocation failure.
    void copyFrom(const ObjectList& other);

    int m_count;        ///< Number of pointers held.
    int m_max_count;    ///< Slots allocated.
    Object** m_p_list;  ///< The slots; entries 0 to count - 1 are valid.
};

}  // namespace ox
