#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Path.h"
#include "Vector.h"

namespace ox {

class Object;

/// An incremental A* search over the world's grid of whole cells for one
/// walking object. Each call of cycleOnce closes one cell; a cell is free when
/// the walker standing there would not collide with a HARD object, as the
/// world answers when the search first asks about the cell (the answer is
/// kept for the rest of the search). The search belongs to its object, which
/// hands it to the path manager to be run.
///
/// The cell closed next is the open one with the smallest f; among equals,
/// the one opened last (improving a cell does not change when it was opened).
/// Open cells wait in a binary heap under that order, one entry each, which
/// a lowered f moves up in place; a cycle costs O(log n) in the cells
/// reached. Search state is kept per cell in pages of PAGE_SIDE x PAGE_SIDE
/// cells, allocated when the search first touches a cell of the page: memory
/// grows with the area reached (96 KiB a touched page, 24 bytes a cell; 24
/// bytes a heap entry, one per open cell), plus one pointer per page of the
/// world (at most 32 KiB).
/// A finished search leaves its pages to the next searches on its thread, up
/// to MAX_SPARE_PAGES: memory touched for the first time costs the system a
/// fault per few KiB, which on small maps took as long as the search itself.
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
    /// Cells along each side of a page of search state.
    static constexpr int PAGE_SIDE = 64;
    /// Most pages kept per thread for later searches (those of a search over
    /// 1024 x 1024 cells, 24 MiB).
    static constexpr std::size_t MAX_SPARE_PAGES = 256;

    /// A search for p_obj from start to goal over the world manager's current
    /// boundary, one node per whole cell. With p_target set the search also
    /// ends where the walker's box touches the target's box at the goal. No
    /// node grid is set up when the boundary has no whole cell; such a
    /// search, like one whose start lies outside the grid, fails on its first
    /// cycle.
    PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target = nullptr);
    PathFind(const PathFind&) = delete;
    PathFind& operator=(const PathFind&) = delete;
    /// Leaves the pages to later searches, up to MAX_SPARE_PAGES, and frees
    /// the rest, the heap and the closed list.
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
    /// True when the node grid is set up.
    bool hasNodes() const { return !m_pages.empty(); }
    /// True when the cell lies in the node grid.
    bool contains(Cell cell) const;
    /// The node of a cell in the grid (all zero when never reached), or null
    /// outside it.
    const Node* getNode(Cell cell) const;
    /// Cells reached but not yet closed, in the order they were added. Built
    /// from the heap on each call, for inspection.
    std::vector<Cell> getOpenList() const;
    /// Cells closed, in closing order.
    const std::vector<Cell>& getClosedList() const { return m_closed_list; }

    /// The cell nearest a world position (rounded per axis); a coordinate
    /// that is not finite or beyond any world becomes -1, outside every grid.
    static Cell cellAt(Vector position);

private:
    /// Where a cell stands in the search.
    enum State : unsigned char { UNREACHED, OPEN, CLOSED };

    /// Whether the walker may stand on a cell, once asked.
    enum Blockage : unsigned char { UNASKED, FREE, BLOCKED };

    /// Search state of one cell in a page.
    struct Slot {
        Node node;                     ///< Costs and parent.
        std::uint32_t heap_place = 0;  ///< Where its entry is in the heap, while open.
        State state = UNREACHED;       ///< Where the cell stands.
        Blockage blocked = UNASKED;    ///< The world's answer, kept for the search.
    };

    /// An open cell waiting in the heap, one entry per open cell: a lower f
    /// moves the entry up where it is.
    struct Entry {
        /// The cell's f and opening order in one number: the entry of the
        /// smaller key is closed first.
        std::uint64_t key;
        Cell cell;     ///< The cell.
        Slot* p_slot;  ///< The cell's slot, which keeps the entry's place.
    };
    /// Takes the open cell with the smallest f, the one opened last among
    /// equals, out of the heap.
    Cell takeBestOpen();
    /// True when the walker standing on the cell touches the target at the goal.
    bool touchesTarget(Cell cell) const;
    /// The slots of the 3 x 3 cells around a cell, row by row, null for a
    /// cell outside the grid.
    using Around = std::array<Slot*, 9>;
    /// The place in Around of the cell (dx, dy) from the centre.
    static constexpr int aroundIndex(int dx, int dy) { return (dy + 1) * 3 + dx + 1; }
    /// Fills around with the slots around centre, a cell of the grid,
    /// allocating their pages if need be.
    void fillAround(Cell centre, Around& around);
    /// One bit per place in Around (1 << aroundIndex) for each neighbour of
    /// centre in the grid that the walker may stand on; the centre's bit is 0.
    unsigned freeAround(Cell centre, const Around& around) const;
    /// isBlocked for a cell of the grid, asked of the world once per search:
    /// a cell is met again from each of its neighbours.
    bool blockedCell(Slot& cell_slot, Cell cell) const;
    /// Reaches a neighbour (at place in Around) from the current cell,
    /// opening or improving it.
    void reach(Cell current, const Slot& from, Cell neighbour, Slot& next, unsigned place);
    /// Puts a cell just opened into the heap under its f.
    void pushOpen(Cell cell, Slot& slot);
    /// Puts the entry at place into place, telling its slot.
    void placeEntry(std::size_t place, const Entry& entry);
    /// Moves the entry at place up the heap to where it belongs.
    void siftUp(std::size_t place);
    /// Moves the entry at place down the heap to where it belongs.
    void siftDown(std::size_t place);
    /// A page of a search: PAGE_SIDE x PAGE_SIDE slots, row by row.
    using Page = std::unique_ptr<Slot[]>;
    /// Pages left by finished searches on this thread, for the next ones.
    static std::vector<Page>& sparePages();
    /// The slot of a cell known to be in the grid, its page allocated if need be.
    Slot& slot(Cell cell);
    /// The slot of a cell in the grid, or null when its page was never touched.
    const Slot* findSlot(Cell cell) const;
    /// The page index of a cell in the grid.
    size_t pageOf(Cell cell) const;

    Object* m_p_obj;                  ///< The walker. Not owned.
    Object* m_p_target;               ///< Object to reach, or null. Not owned.
    Cell m_start;                     ///< Start cell.
    Cell m_goal;                      ///< Goal cell.
    int m_cols;                       ///< Columns of the grid.
    int m_rows;                       ///< Rows of the grid.
    int m_page_cols;                  ///< Pages across the grid.
    std::vector<Page> m_pages;        ///< Row by row; null until touched.
    std::vector<Entry> m_heap;        ///< Open cells, best on top.
    std::uint32_t m_opened;           ///< Cells opened so far.
    std::vector<Cell> m_closed_list;  ///< Closed, in closing order.
    bool m_found;                     ///< The goal has been reached.
    int m_result;                     ///< SEARCHING, or how the search ended.
};

}  // namespace ox
