#pragma once

#include <vector>

#include "Path.h"
#include "Vector.h"

namespace ox {

class Object;

/// An incremental A* search over the world's grid of whole cells for one
/// walking object. Each call of cycleOnce closes one cell; a cell is free when
/// the walker standing there would not collide with a HARD object. The search
/// belongs to its object, which hands it to the path manager to be run.
class PathFind {
public:
    /// A cell of the world grid in whole cells.
    struct Cell {
        int x = 0;  ///< Column.
        int y = 0;  ///< Row.
        /// Same column and row.
        bool operator==(const Cell& other) const = default;
    };

    /// Search state of one cell.
    struct Node {
        float g = 0.0f;  ///< Cost from the start.
        float f = 0.0f;  ///< g plus the estimate to the goal.
        Cell parent;     ///< The cell this one was reached from.
    };

    /// Result of cycleOnce: the search failed.
    static constexpr int FAILED = 0;
    /// Result of cycleOnce: the search goes on.
    static constexpr int SEARCHING = 1;
    /// Result of cycleOnce: the goal was found.
    static constexpr int FOUND = 2;

    /// A search for p_obj from start to goal over the world manager's current
    /// boundary, one node per whole cell. With p_target set the search also
    /// ends where the walker's box touches the target's box at the goal. No
    /// node grid is allocated when the boundary has no whole cell; such a
    /// search, like one whose start lies outside the grid, fails on its first
    /// cycle.
    PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target = nullptr);
    PathFind(const PathFind&) = delete;
    PathFind& operator=(const PathFind&) = delete;
    /// Frees the node grid and the lists.
    ~PathFind();

    /// Closes one cell: FAILED, SEARCHING or FOUND. Once the search has ended
    /// every further call returns the same result at once.
    int cycleOnce();
    /// The waypoints from start to goal when found, else an empty path.
    Path getPath() const;
    /// The walking object.
    Object* getObject() const { return m_p_obj; }
    /// The object to reach, or null.
    Object* getTarget() const { return m_p_target; }
    /// Forgets the object to reach (it is leaving the world); the search goes
    /// on toward the goal cell alone.
    void clearTarget() { m_p_target = nullptr; }
    /// True when the walker may not stand on the cell (x, y).
    bool isBlocked(int x, int y) const;

    /// The start cell.
    Cell getStart() const { return m_start; }
    /// The goal cell (where the search ended, when it ended touching the target).
    Cell getGoal() const { return m_goal; }
    /// True once the goal has been reached.
    bool isFound() const { return m_found; }
    /// True when the node grid is allocated.
    bool hasNodes() const { return !m_nodes.empty(); }
    /// True when the cell lies in the node grid.
    bool contains(Cell cell) const;
    /// The node of a cell in the grid, or null outside it.
    const Node* getNode(Cell cell) const;
    /// Cells reached but not yet closed, in the order they were added.
    const std::vector<Cell>& getOpenList() const { return m_open_list; }
    /// Cells closed, in closing order.
    const std::vector<Cell>& getClosedList() const { return m_closed_list; }

    /// The cell nearest a world position (rounded per axis); a coordinate
    /// that is not finite or beyond any world becomes -1, outside every grid.
    static Cell cellAt(Vector position);

private:
    /// Takes the open cell with the smallest f, the one nearest the end of
    /// the open list among equals, out of the open list.
    Cell takeBestOpen();
    /// True when the walker standing on the cell touches the target at the goal.
    bool touchesTarget(Cell cell) const;
    /// True when a neighbour of the current cell may not be stepped on.
    bool skipNeighbour(Cell current, int dx, int dy) const;
    /// Reaches a neighbour from the current cell, opening or improving it.
    void reach(Cell current, Cell neighbour, int dx, int dy);
    /// The node of a cell known to be in the grid.
    Node& node(Cell cell) { return m_nodes[cell.y][cell.x]; }

    Object* m_p_obj;                         ///< The walker. Not owned.
    Object* m_p_target;                      ///< Object to reach, or null. Not owned.
    Cell m_start;                            ///< Start cell.
    Cell m_goal;                             ///< Goal cell.
    std::vector<std::vector<Node>> m_nodes;  ///< [y][x]; empty when not allocated.
    std::vector<Cell> m_open_list;           ///< Reached, not yet closed.
    std::vector<Cell> m_closed_list;         ///< Closed, in closing order.
    bool m_found;                            ///< The goal has been reached.
    int m_result;                            ///< SEARCHING, or how the search ended.
};

}  // namespace ox
