#include "PathFind.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

#include "Grid.h"
#include "LogManager.h"
#include "Object.h"
#include "SceneGraph.h"
#include "WorldManager.h"
#include "geometry.h"

namespace ox {

namespace {

/// Most cells a searched world may have: larger worlds are not searched.
const double MAX_NODES = 4096.0 * 4096.0;

/// Beyond this a coordinate cannot be a cell of any world that can be searched.
const double MAX_COORDINATE = 1.0e9;

/// The length of a step of (dx, dy) cells, computed in double and kept as float.
float distance(int dx, int dy) {
    return static_cast<float>(
        std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

/// The length of each step to a neighbour, by aroundIndex: distance(dx, dy).
const std::array<float, 9> STEP_LENGTHS = {
    distance(-1, -1), distance(0, -1), distance(1, -1), distance(-1, 0), 0.0f,
    distance(1, 0),   distance(-1, 1), distance(0, 1),  distance(1, 1)};

/// A step to one of the eight neighbours, in the order they are reached.
struct Step {
    int dx;            ///< Column offset.
    int dy;            ///< Row offset.
    unsigned place;    ///< The neighbour's place in PathFind::Around.
    unsigned corners;  ///< For a diagonal step, the bits of the two cells it passes.
};

/// The bit of a place in PathFind::Around.
constexpr unsigned bitOf(int dx, int dy) {
    return 1u << ((dy + 1) * 3 + dx + 1);
}

/// The eight steps, row by row.
constexpr std::array<Step, 8> STEPS = {{
    {-1, -1, 0, bitOf(-1, 0) | bitOf(0, -1)},
    {0, -1, 1, 0},
    {1, -1, 2, bitOf(1, 0) | bitOf(0, -1)},
    {-1, 0, 3, 0},
    {1, 0, 5, 0},
    {-1, 1, 6, bitOf(-1, 0) | bitOf(0, 1)},
    {0, 1, 7, 0},
    {1, 1, 8, bitOf(1, 0) | bitOf(0, 1)},
}};

/// The heap key of an open cell: its f (never negative, so its bits order as
/// the values do) above the complement of its opening order, so that the
/// smaller key is closed first and, among equal f, the cell opened last.
std::uint64_t heapKey(float f, std::uint32_t opened) {
    return static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(f)) << 32 | ~opened;
}

/// The world position of a cell.
Vector positionOf(PathFind::Cell cell) {
    return Vector(static_cast<float>(cell.x), static_cast<float>(cell.y));
}

/// One coordinate of cellAt.
int cellCoordinate(float value) {
    const double rounded = std::round(static_cast<double>(value));
    if (!(std::fabs(rounded) < MAX_COORDINATE)) {
        return -1;
    }
    return static_cast<int>(rounded);
}

/// The place of a cell of the grid within its page.
size_t placeInPage(PathFind::Cell cell) {
    // Cells of the grid are never negative: unsigned division is a shift.
    constexpr unsigned side = PathFind::PAGE_SIDE;
    return static_cast<size_t>(static_cast<unsigned>(cell.y) % side) * side +
           static_cast<unsigned>(cell.x) % side;
}

}  // namespace

PathFind::PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target)
    : m_p_obj(p_obj),
      m_p_target(p_target),
      m_start(start),
      m_goal(goal),
      m_cols(0),
      m_rows(0),
      m_page_cols(0),
      m_opened(0),
      m_found(false),
      m_result(SEARCHING) {
    LogManager& log_manager = LogManager::getInstance();
    const Box boundary = WorldManager::getInstance().getBoundary();
    // Whole cells only: a partial column or row at the edge is not searched.
    const double cols = std::trunc(static_cast<double>(boundary.getHorizontal()));
    const double rows = std::trunc(static_cast<double>(boundary.getVertical()));
    if (!(cols >= 1.0 && rows >= 1.0)) {
        return;
    }
    if (!(cols * rows <= MAX_NODES)) {
        log_manager.writeLog("PathFind::PathFind(): Error! Boundary %s is too large to search.",
                             boundary.toString().c_str());
        return;
    }
    m_cols = static_cast<int>(cols);
    m_rows = static_cast<int>(rows);
    m_page_cols = (m_cols + PAGE_SIDE - 1) / PAGE_SIDE;
    const int page_rows = (m_rows + PAGE_SIDE - 1) / PAGE_SIDE;
    m_pages.resize(static_cast<size_t>(m_page_cols) * static_cast<size_t>(page_rows));
    // Every node starts at g 0, the start's included.
}

PathFind::~PathFind() {
    std::vector<Page>& spare = sparePages();
    for (Page& page : m_pages) {
        if (page && spare.size() < MAX_SPARE_PAGES) {
            spare.push_back(std::move(page));
        }
    }
}

std::vector<PathFind::Page>& PathFind::sparePages() {
    thread_local std::vector<Page> pages;
    return pages;
}

PathFind::Cell PathFind::cellAt(Vector position) {
    return Cell{cellCoordinate(position.getX()), cellCoordinate(position.getY())};
}

bool PathFind::contains(Cell cell) const {
    return cell.y >= 0 && cell.y < m_rows && cell.x >= 0 && cell.x < m_cols;
}

size_t PathFind::pageOf(Cell cell) const {
    constexpr unsigned side = PAGE_SIDE;
    return static_cast<size_t>(static_cast<unsigned>(cell.y) / side) *
               static_cast<size_t>(m_page_cols) +
           static_cast<unsigned>(cell.x) / side;
}

PathFind::Slot& PathFind::slot(Cell cell) {
    Page& page = m_pages[pageOf(cell)];
    if (!page) {
        constexpr size_t area = static_cast<size_t>(PAGE_SIDE) * PAGE_SIDE;
        std::vector<Page>& spare = sparePages();
        if (spare.empty()) {
            page = std::make_unique<Slot[]>(area);
        } else {
            page = std::move(spare.back());
            spare.pop_back();
            std::fill_n(page.get(), area, Slot{});
        }
    }
    return page[placeInPage(cell)];
}

const PathFind::Slot* PathFind::findSlot(Cell cell) const {
    const Page& page = m_pages[pageOf(cell)];
    return page ? &page[placeInPage(cell)] : nullptr;
}

const PathFind::Node* PathFind::getNode(Cell cell) const {
    static const Node unreached;
    if (!contains(cell)) {
        return nullptr;
    }
    const Slot* p_slot = findSlot(cell);
    return p_slot != nullptr ? &p_slot->node : &unreached;
}

std::vector<PathFind::Cell> PathFind::getOpenList() const {
    std::vector<Entry> current = m_heap;
    // The low half of a key is the complement of the opening order.
    std::ranges::sort(current, std::greater{},
                      [](const Entry& entry) { return static_cast<std::uint32_t>(entry.key); });
    std::vector<Cell> cells;
    for (const Entry& entry : current) {
        cells.push_back(entry.cell);
    }
    return cells;
}

int PathFind::cycleOnce() {
    if (m_result != SEARCHING) {
        return m_result;
    }
    if (m_pages.empty()) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
        m_result = FAILED;
        return m_result;
    }
    if (!contains(m_start)) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): Error! Start (%d,%d) is outside the world.", m_start.x,
            m_start.y);
        m_result = FAILED;
        return m_result;
    }
    // The first cycle closes the start; a cycle that leaves no cell open ends the search.
    const Cell current = m_closed_list.empty() ? m_start : takeBestOpen();
    slot(current).state = CLOSED;
    m_closed_list.push_back(current);
    if (current == m_goal) {
        m_found = true;
    }
    if (m_p_target != nullptr && touchesTarget(current)) {
        m_found = true;
        m_goal = current;
    }
    if (m_found) {
        m_result = FOUND;
        return m_result;
    }
    Around around;
    fillAround(current, around);
    const unsigned free = freeAround(current, around);
    const Slot& from = *around[aroundIndex(0, 0)];
    for (const Step& step : STEPS) {
        Slot* p_next = around[step.place];
        // A diagonal step may pass one blocked corner, not squeeze between two.
        if ((free & (1u << step.place)) != 0 && p_next->state != CLOSED &&
            (step.corners == 0 || (free & step.corners) != 0)) {
            reach(current, from, Cell{current.x + step.dx, current.y + step.dy}, *p_next,
                  step.place);
        }
    }
    if (m_heap.empty()) {
        m_result = FAILED;
    }
    return m_result;
}

PathFind::Cell PathFind::takeBestOpen() {
    // Called only while a cell is open.
    const Cell best = m_heap.front().cell;
    const Entry last = m_heap.back();
    m_heap.pop_back();
    if (!m_heap.empty()) {
        placeEntry(0, last);
        siftDown(0);
    }
    return best;
}

void PathFind::pushOpen(Cell cell, Slot& slot) {
    m_heap.push_back(Entry{heapKey(slot.node.f, m_opened++), cell, &slot});
    slot.heap_place = static_cast<std::uint32_t>(m_heap.size() - 1);
    siftUp(m_heap.size() - 1);
}

void PathFind::placeEntry(std::size_t place, const Entry& entry) {
    m_heap[place] = entry;
    entry.p_slot->heap_place = static_cast<std::uint32_t>(place);
}

void PathFind::siftUp(std::size_t place) {
    const Entry entry = m_heap[place];
    while (place > 0) {
        const std::size_t parent = (place - 1) / 2;
        if (m_heap[parent].key < entry.key) {
            break;
        }
        placeEntry(place, m_heap[parent]);
        place = parent;
    }
    placeEntry(place, entry);
}

void PathFind::siftDown(std::size_t place) {
    // The entry put at the top came from the bottom and most likely belongs
    // near it: the smaller child moves up all the way down, one comparison a
    // level, and the entry then moves up from the bottom the little it must.
    const Entry entry = m_heap[place];
    const std::size_t size = m_heap.size();
    for (std::size_t child = 2 * place + 1; child < size; child = 2 * place + 1) {
        if (child + 1 < size && m_heap[child + 1].key < m_heap[child].key) {
            child++;
        }
        placeEntry(place, m_heap[child]);
        place = child;
    }
    m_heap[place] = entry;
    siftUp(place);
}

bool PathFind::touchesTarget(Cell cell) const {
    const Box walker = getWorldBox(m_p_obj, positionOf(cell));
    const Box target = getWorldBox(m_p_target, positionOf(m_goal));
    return boxIntersectsBox(walker, target);
}

void PathFind::fillAround(Cell centre, Around& around) {
    const int in_page_x = centre.x % PAGE_SIDE;
    const int in_page_y = centre.y % PAGE_SIDE;
    if (in_page_x > 0 && in_page_x < PAGE_SIDE - 1 && in_page_y > 0 && in_page_y < PAGE_SIDE - 1 &&
        centre.x + 1 < m_cols && centre.y + 1 < m_rows) {
        // All nine lie in the grid and in the centre's page.
        Slot* p_centre = &slot(centre);
        for (int dy = -1; dy <= 1; dy++) {
            for (int dx = -1; dx <= 1; dx++) {
                around[aroundIndex(dx, dy)] = p_centre + dy * PAGE_SIDE + dx;
            }
        }
        return;
    }
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            const Cell cell{centre.x + dx, centre.y + dy};
            around[aroundIndex(dx, dy)] = contains(cell) ? &slot(cell) : nullptr;
        }
    }
}

unsigned PathFind::freeAround(Cell centre, const Around& around) const {
    // Each neighbour is asked about once per search; a closed one was asked
    // when it was reached (the start alone never was), so asking all eight
    // costs at most one question more than asking only where a step needs it.
    unsigned free = 0;
    for (const Step& step : STEPS) {
        Slot* p_neighbour = around[step.place];
        if (p_neighbour != nullptr &&
            !blockedCell(*p_neighbour, Cell{centre.x + step.dx, centre.y + step.dy})) {
            free |= 1u << step.place;
        }
    }
    return free;
}

bool PathFind::blockedCell(Slot& cell_slot, Cell cell) const {
    if (cell_slot.blocked == UNASKED) {
        cell_slot.blocked = isBlocked(cell.x, cell.y) ? BLOCKED : FREE;
    }
    return cell_slot.blocked == BLOCKED;
}

void PathFind::reach(Cell current, const Slot& from, Cell neighbour, Slot& next, unsigned place) {
    const float g = STEP_LENGTHS[place] + from.node.g;
    const bool is_open = next.state == OPEN;
    if (is_open && g > next.node.g) {
        return;
    }
    const float old_f = next.node.f;
    next.node.parent = current;
    next.node.g = g;
    next.node.f = g + distance(m_goal.x - neighbour.x, m_goal.y - neighbour.y);
    if (!is_open) {
        next.state = OPEN;
        pushOpen(neighbour, next);
    } else if (next.node.f != old_f) {
        // A smaller g never raises f: the entry can only move up.
        Entry& entry = m_heap[next.heap_place];
        entry.key = heapKey(next.node.f, static_cast<std::uint32_t>(~entry.key));
        siftUp(next.heap_place);
    }
}

bool PathFind::isBlocked(int x, int y) const {
    // The first HARD object alone decides; one covering the goal lets the
    // walker reach it.
    const Grid& grid = WorldManager::getInstance().getSceneGraph().getGrid();
    const Object* p_hard =
        grid.firstCollision(m_p_obj, Vector(static_cast<float>(x), static_cast<float>(y)), HARD);
    return p_hard != nullptr && !boxContainsPosition(getWorldBox(p_hard), positionOf(m_goal));
}
Path PathFind::getPath() const {
    Path path;
    if (!m_found) {
        return path;
    }
    std::vector<Vector> waypoints;
    Cell cell = m_goal;
    // Every parent was closed before its child, so the chain reaches the start
    // within as many links as there are closed cells.
    for (size_t links = 0; !(cell == m_start) && links < m_closed_list.size(); links++) {
        waypoints.push_back(positionOf(cell));
        cell = findSlot(cell)->node.parent;
    }
    waypoints.push_back(positionOf(m_start));
    std::reverse(waypoints.begin(), waypoints.end());
    path.setWaypoints(waypoints);
    return path;
}

}  // namespace ox
