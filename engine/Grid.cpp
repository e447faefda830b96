#include "Grid.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "Config.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"
#include "geometry.h"

namespace ox {

namespace {

/// Most buckets a grid may hold; a boundary needing more is refused.
const double MAX_BUCKETS = 16.0 * 1024 * 1024;

/// floor(coord / size) as a bucket index, held within [-1, count] so that the
/// conversion to an integer is always defined; NaN gives -1.
int bucketIndex(float coord, int size, int count) {
    const float quotient = coord / static_cast<float>(size);
    if (!(quotient >= -1.0f)) {
        return -1;
    }
    if (quotient >= static_cast<float>(count)) {
        return count;
    }
    // In [-1, count) the floor is the truncation, or one less for a negative
    // fraction; worked out here, as each move of a solid object takes twelve.
    const int truncated = static_cast<int>(quotient);
    return static_cast<float>(truncated) > quotient ? truncated - 1 : truncated;
}

/// Number of buckets of the given size needed to cover an extent (0 for none).
double bucketsFor(float extent, int size) {
    const double count = std::ceil(static_cast<double>(extent) / size);
    return count > 0.0 ? count : 0.0;
}

}  // namespace

Grid::Grid()
    : m_num_cols(0),
      m_num_rows(0),
      m_cell_width(Config::getInstance().getGridWidth()),
      m_cell_height(Config::getInstance().getGridHeight()) {}

Grid::~Grid() {
    shutDown();
}

int Grid::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (m_p_grid != nullptr) {
        log_manager.writeLog("Grid::startUp(): Warning! Grid allocated. Not proceeding.");
        return -1;
    }
    if (m_cell_width < 1 || m_cell_height < 1) {
        log_manager.writeLog("Grid::startUp(): Error! Bucket size %d x %d is not positive.",
                             m_cell_width, m_cell_height);
        return -1;
    }
    const Box boundary = WorldManager::getInstance().getBoundary();
    const double cols = bucketsFor(boundary.getHorizontal(), m_cell_width);
    const double rows = bucketsFor(boundary.getVertical(), m_cell_height);
    if (!(cols * rows <= MAX_BUCKETS) || !(cols <= MAX_BUCKETS) || !(rows <= MAX_BUCKETS)) {
        log_manager.writeLog("Grid::startUp(): Error! Boundary %s needs too many buckets.",
                             boundary.toString().c_str());
        return -1;
    }
    m_num_cols = static_cast<int>(cols);
    m_num_rows = static_cast<int>(rows);
    log_manager.writeLog(5, "Grid::startUp(): m_num_cols %d, m_num_rows %d", m_num_cols,
                         m_num_rows);

    m_p_grid.reset(new (std::nothrow)
                       std::unique_ptr<ObjectList[]>[static_cast<size_t>(m_num_rows)]);
    if (m_p_grid == nullptr) {
        log_manager.writeLog("Grid::startUp(): Error! Unable to allocate %d grid rows.",
                             m_num_rows);
        return -1;
    }
    for (int row = 0; row < m_num_rows; row++) {
        m_p_grid[row].reset(new (std::nothrow) ObjectList[static_cast<size_t>(m_num_cols)]);
        if (m_p_grid[row] == nullptr) {
            log_manager.writeLog("Grid::startUp(): Error! Unable to allocate columns.");
            return -1;
        }
    }
    m_outside.clear();
    return 0;
}

void Grid::shutDown() {
    m_p_grid.reset();
    m_num_cols = 0;
    m_num_rows = 0;
    m_outside.clear();
}

std::vector<Grid::Cell> Grid::getCells(const Object* p_o, Vector p) const {
    std::vector<Cell> cells;
    fillCells(p_o, p, cells);
    return cells;
}

Grid::Span Grid::spanOf(const Box& box) const {
    const float x0 = box.getCorner().getX();
    const float y0 = box.getCorner().getY();
    Span span{bucketIndex(x0, m_cell_width, m_num_cols),
              bucketIndex(x0 + box.getHorizontal(), m_cell_width, m_num_cols),
              bucketIndex(y0, m_cell_height, m_num_rows),
              bucketIndex(y0 + box.getVertical(), m_cell_height, m_num_rows), false};
    if (span.col_min < 0) {
        span.col_min = 0;
        span.outside = true;
    }
    if (span.row_min < 0) {
        span.row_min = 0;
        span.outside = true;
    }
    if (span.row_max >= m_num_rows) {
        span.row_max = m_num_rows - 1;
        span.outside = true;
    }
    if (span.col_max >= m_num_cols) {
        span.col_max = m_num_cols - 1;
        span.outside = true;
    }
    return span;
}

void Grid::fillCells(const Object* p_o, Vector p, std::vector<Cell>& cells) const {
    const Span span = spanOf(getWorldBox(p_o, p));
    cells.clear();
    if (span.outside) {
        cells.push_back(Cell{-1, -1});
    }
    for (int row = span.row_min; row <= span.row_max; row++) {
        for (int col = span.col_min; col <= span.col_max; col++) {
            cells.push_back(Cell{col, row});
        }
    }
}

const ObjectList* Grid::bucketAt(Cell cell) const {
    if (cell.col == -1 && cell.row == -1) {
        return &m_outside;
    }
    if (m_p_grid == nullptr || cell.col < 0 || cell.col >= m_num_cols || cell.row < 0 ||
        cell.row >= m_num_rows) {
        return nullptr;
    }
    return &m_p_grid[cell.row][cell.col];
}

ObjectList* Grid::bucketAt(Cell cell) {
    return const_cast<ObjectList*>(std::as_const(*this).bucketAt(cell));
}

ObjectList Grid::getBucket(Cell cell) const {
    const ObjectList* p_bucket = bucketAt(cell);
    return p_bucket != nullptr ? *p_bucket : ObjectList();
}

int Grid::insertObject(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    if (m_p_grid == nullptr) {
        log_manager.writeLog("Grid::insertObject(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log_manager.writeLog("Grid::insertObject(): Error! Object is NULL");
        return -1;
    }
    fillCells(p_o, p_o->getPosition(), m_cells);
    for (const Cell& cell : m_cells) {
        if (ObjectList* p_bucket = bucketAt(cell)) {
            p_bucket->insert(p_o);
        }
    }
    return 0;
}

int Grid::removeObject(Object* p_o) {
    LogManager& log_manager = LogManager::getInstance();
    if (m_p_grid == nullptr) {
        log_manager.writeLog("Grid::removeObject(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log_manager.writeLog("Grid::removeObject(): Error! Object is NULL");
        return -1;
    }
    if (!p_o->isSolid() || !p_o->isActive()) {
        return 0;
    }
    fillCells(p_o, p_o->getPosition(), m_cells);
    for (const Cell& cell : m_cells) {
        if (ObjectList* p_bucket = bucketAt(cell)) {
            p_bucket->remove(p_o);
        }
    }
    return 0;
}

int Grid::updatePosition(Object* p_o, Vector new_position) {
    LogManager& log_manager = LogManager::getInstance();
    if (m_p_grid == nullptr) {
        log_manager.writeLog("Grid::updatePosition(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log_manager.writeLog("Grid::updatePosition(): Error! Object is NULL");
        return -1;
    }
    fillCells(p_o, p_o->getPosition(), m_cells);
    fillCells(p_o, new_position, m_new_cells);
    const std::vector<Cell>& old_cells = m_cells;
    const std::vector<Cell>& new_cells = m_new_cells;
    for (const Cell& cell : old_cells) {
        if (std::binary_search(new_cells.begin(), new_cells.end(), cell)) {
            continue;
        }
        ObjectList* p_bucket = bucketAt(cell);
        if (p_bucket == nullptr) {
            log_manager.writeLog("Error! remove Cell x,y out of bounds (%d, %d).", cell.col,
                                 cell.row);
            continue;
        }
        p_bucket->remove(p_o);
    }
    for (const Cell& cell : new_cells) {
        if (std::binary_search(old_cells.begin(), old_cells.end(), cell)) {
            continue;
        }
        ObjectList* p_bucket = bucketAt(cell);
        if (p_bucket == nullptr) {
            log_manager.writeLog("Error! insert Cell x,y out of bounds [%d, %d].", cell.col,
                                 cell.row);
            continue;
        }
        p_bucket->insert(p_o);
    }
    return 0;
}

bool Grid::canQuery(const char* operation, const Object* p_o) const {
    if (m_p_grid == nullptr) {
        LogManager::getInstance().writeLog("Grid::%s(): Error! grid is NULL", operation);
        return false;
    }
    if (p_o == nullptr) {
        LogManager::getInstance().writeLog("Grid::%s(): Error! Object is NULL", operation);
        return false;
    }
    return true;
}

template <typename Visit>
void Grid::visitOverlaps(const Object* p_o, Vector where, Visit visit) const {
    // The buckets are walked straight from their span: a query asks about
    // one bucket or a few, and listing them first took as long as the tests.
    const Box box = getWorldBox(p_o, where);
    const Span span = spanOf(box);
    const auto visitBucket = [&](const ObjectList& bucket) {
        for (ObjectListIterator it(&bucket); !it.isDone(); it.next()) {
            Object* p_other = it.currentObject();
            if (p_other != p_o && boxIntersectsBox(getWorldBox(p_other), box) && visit(p_other)) {
                return true;
            }
        }
        return false;
    };
    if (span.outside && visitBucket(m_outside)) {
        return;
    }
    for (int row = span.row_min; row <= span.row_max; row++) {
        const ObjectList* p_row = m_p_grid[row].get();
        for (int col = span.col_min; col <= span.col_max; col++) {
            if (visitBucket(p_row[col])) {
                return;
            }
        }
    }
}

int Grid::Span::count() const {
    const int cols = std::max(0, col_max - col_min + 1);
    const int rows = std::max(0, row_max - row_min + 1);
    return (outside ? 1 : 0) + cols * rows;
}

ObjectList Grid::getCollisions(const Object* p_o, Vector where) const {
    ObjectList collisions;
    if (!canQuery("getCollisions", p_o)) {
        return collisions;
    }
    // Each object once, where it is first met: an object met in one bucket
    // only cannot be met twice.
    std::vector<Object*>& hits = m_hits;
    hits.clear();
    const bool one_bucket = spanOf(getWorldBox(p_o, where)).count() == 1;
    visitOverlaps(p_o, where, [one_bucket, &hits](Object* p_other) {
        if (one_bucket || std::find(hits.begin(), hits.end(), p_other) == hits.end()) {
            hits.push_back(p_other);
        }
        return false;
    });
    for (Object* p_other : hits) {
        collisions.insert(p_other);
    }
    return collisions;
}

Object* Grid::firstCollision(const Object* p_o, Vector where, Solidness solidness) const {
    Object* p_first = nullptr;
    if (!canQuery("firstCollision", p_o)) {
        return p_first;
    }
    // The first one met comes first in getCollisions, which keeps each
    // object where it is first met.
    visitOverlaps(p_o, where, [&p_first, solidness](Object* p_other) {
        if (p_other->getSolidness() != solidness) {
            return false;
        }
        p_first = p_other;
        return true;
    });
    return p_first;
}

}  // namespace ox
