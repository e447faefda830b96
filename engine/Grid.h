#pragma once

#include <memory>
#include <vector>

#include "ObjectList.h"
#include "Vector.h"

namespace ox {

class Box;
class Object;
enum Solidness : int;

/// Buckets the world's boundary into rectangles of a configured size, each
/// listing the active solid objects whose world boxes touch it, plus one
/// bucket for objects reaching beyond the boundary, so that a collision query
/// tests only the objects near the box asked about.
class Grid {
public:
    /// The address of a bucket; (-1,-1) is the outside bucket.
    struct Cell {
        int col;  ///< Bucket column, -1 for outside.
        int row;  ///< Bucket row, -1 for outside.
        /// Row first, then column: the outside bucket sorts first.
        bool operator<(const Cell& other) const {
            return row < other.row || (row == other.row && col < other.col);
        }
        /// Same bucket.
        bool operator==(const Cell& other) const = default;
    };

    /// No buckets yet; the bucket size comes from the configuration.
    Grid();
    /// Frees the buckets.
    ~Grid();
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    /// Builds the buckets for the world manager's current boundary; 0 or -1.
    int startUp();
    /// Frees every bucket and empties the outside bucket.
    void shutDown();
    /// True between a successful startUp and shutDown.
    bool isStarted() const { return m_p_grid != nullptr; }

    /// Appends the object to every bucket it covers at its position; 0 or -1.
    int insertObject(Object* p_o);
    /// Removes the object from every bucket it covers at its position; 0 or -1.
    int removeObject(Object* p_o);
    /// Moves the object between buckets; called before its position changes. 0 or -1.
    int updatePosition(Object* p_o, Vector new_position);
    /// The other objects whose world boxes overlap p_o's box placed at where,
    /// in bucket order (outside first, then row by row) and list order.
    ObjectList getCollisions(const Object* p_o, Vector where) const;
    /// The first object of getCollisions(p_o, where) with the given
    /// solidness, or null; found without building the list.
    Object* firstCollision(const Object* p_o, Vector where, Solidness solidness) const;

    /// The buckets p_o's world box covers at position p, in bucket order.
    std::vector<Cell> getCells(const Object* p_o, Vector p) const;
    /// A copy of one bucket's list; empty for a bucket not in the grid.
    ObjectList getBucket(Cell cell) const;
    /// Number of bucket columns.
    int getNumCols() const { return m_num_cols; }
    /// Number of bucket rows.
    int getNumRows() const { return m_num_rows; }
    /// Bucket width in world cells.
    int getCellWidth() const { return m_cell_width; }
    /// Bucket height in world cells.
    int getCellHeight() const { return m_cell_height; }

private:
    /// The buckets a world box covers: a rectangle of grid buckets (empty
    /// when a minimum exceeds its maximum), and the outside bucket when the
    /// box reaches beyond the grid.
    struct Span {
        int col_min;   ///< First bucket column.
        int col_max;   ///< Last bucket column.
        int row_min;   ///< First bucket row.
        int row_max;   ///< Last bucket row.
        bool outside;  ///< The outside bucket too.
        /// Number of buckets, the outside one included.
        int count() const;
    };
    /// The buckets a world box covers.
    Span spanOf(const Box& box) const;
    /// Fills cells with the buckets p_o's world box covers at position p, in bucket order.
    void fillCells(const Object* p_o, Vector p, std::vector<Cell>& cells) const;
    /// True when a query about p_o can be answered; else logs why not, as
    /// the operation named.
    bool canQuery(const char* operation, const Object* p_o) const;
    /// Calls visit(p_other) for each other object whose world box overlaps
    /// p_o's box placed at where, in bucket order and list order (an object
    /// in several buckets once per bucket), until visit returns true.
    template <typename Visit>
    void visitOverlaps(const Object* p_o, Vector where, Visit visit) const;
    /// The list of a bucket, or null when the bucket is not in the grid.
    const ObjectList* bucketAt(Cell cell) const;
    /// The list of a bucket, or null when the bucket is not in the grid.
    ObjectList* bucketAt(Cell cell);

    /// m_num_rows rows of m_num_cols buckets; null when not started.
    std::unique_ptr<std::unique_ptr<ObjectList[]>[]> m_p_grid;
    ObjectList m_outside;  ///< Objects reaching beyond the boundary.
    int m_num_cols;        ///< Number of bucket columns.
    int m_num_rows;        ///< Number of bucket rows.
    int m_cell_width;      ///< Bucket width in world cells.
    int m_cell_height;     ///< Bucket height in world cells.
    // Working space of the queries, kept to spare an allocation per query.
    mutable std::vector<Cell> m_cells;      ///< Buckets of a query, or of a move's start.
    mutable std::vector<Cell> m_new_cells;  ///< Buckets of a move's end.
    mutable std::vector<Object*> m_hits;    ///< Collisions found by a query.
};

}  // namespace ox
