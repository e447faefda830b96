#include "CellBatch.h"

#include <SFML/Graphics/PrimitiveType.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Transform.hpp>

#include <algorithm>
#include <cmath>

namespace ox {

namespace {

// The texture keeps a small square of opaque white at its top-left corner; a
// quad whose corners all sample its middle is filled with its vertex colour.
const sf::FloatRect WHITE_TEXELS(sf::Vector2f(1, 1), sf::Vector2f(0, 0));

// The most vertices one draw call takes: 40 quads. A software renderer does
// work for every vertex of a call each time it passes a few hundred of them
// on, so one call for a whole screen of cells took twice as long as calls
// of this size; on graphics hardware the extra calls cost next to nothing.
constexpr std::size_t VERTICES_PER_CALL = 40 * 6;

// The most buckets per axis: backgrounds far outside the window share the
// edge buckets rather than make the grid huge.
constexpr int MAX_BUCKETS = 512;

// How many buckets of size cover a span, from 1 to MAX_BUCKETS whatever the
// numbers (a position may be huge, infinite or not a number).
int bucketCount(float span, float size) {
    const float count = span / size + 1;
    if (!(count >= 1)) {
        return 1;
    }
    return count < MAX_BUCKETS ? static_cast<int>(count) : MAX_BUCKETS;
}

// The bucket of a coordinate, the edge ones for anything outside.
int bucketIndex(float at, float origin, float size, int count) {
    const float index = std::floor((at - origin) / size);
    if (!(index >= 0)) {
        return 0;
    }
    return index < static_cast<float>(count) ? static_cast<int>(index) : count - 1;
}

// The four corners of a local rectangle placed at position and turned by
// rotation degrees about it, as a shape or text with that position and
// rotation is: top-left, top-right, bottom-left, bottom-right.
std::array<sf::Vector2f, 4> placedCorners(sf::Vector2f position, float rotation,
                                          const sf::FloatRect& local) {
    const sf::Vector2f end = local.position + local.size;
    if (rotation == 0.0f) {
        // The transform's matrix is then exactly a translation, which adds
        // the position to each corner: the same corners without the matrix.
        return {position + local.position, position + sf::Vector2f(end.x, local.position.y),
                position + sf::Vector2f(local.position.x, end.y), position + end};
    }
    sf::Transform transform;
    transform.translate(position);
    transform.rotate(sf::degrees(rotation));
    return {transform.transformPoint(local.position),
            transform.transformPoint(sf::Vector2f(end.x, local.position.y)),
            transform.transformPoint(sf::Vector2f(local.position.x, end.y)),
            transform.transformPoint(end)};
}

}  // namespace

void CellBatch::add(const Cell& cell) {
    const sf::FloatRect background({0, 0}, cell.background_size);
    m_quads.push_back({placedCorners(cell.background_corner, cell.rotation, background),
                       cell.background, WHITE_TEXELS});
    m_quads.push_back({placedCorners(cell.pen, cell.rotation, cell.glyph_bounds), cell.color,
                       cell.glyph_texture});
    m_has_glyph.push_back(cell.has_glyph);
    m_turned = m_turned || std::fmod(cell.rotation, 360.0f) != 0.0f;
}

void CellBatch::clear() {
    m_quads.clear();
    m_has_glyph.clear();
    m_turned = false;
}

void CellBatch::draw(sf::RenderTarget& target, const sf::Texture& texture, bool on_background) {
    m_vertices.clear();
    if (on_background && !m_turned) {
        emitUncovered();
    } else {
        for (std::size_t cell = 0; cell < m_has_glyph.size(); cell++) {
            emit(m_quads[2 * cell]);
            if (m_has_glyph[cell]) {
                emit(m_quads[2 * cell + 1]);
            }
        }
    }
    clear();
    if (m_vertices.empty()) {
        return;
    }
    sf::RenderStates states;
    states.texture = &texture;
    for (std::size_t first = 0; first < m_vertices.size(); first += VERTICES_PER_CALL) {
        target.draw(m_vertices.data() + first,
                    std::min(VERTICES_PER_CALL, m_vertices.size() - first),
                    sf::PrimitiveType::Triangles, states);
    }
}

void CellBatch::emit(const Quad& quad) {
    const sf::Vector2f tex = quad.texture.position;
    const sf::Vector2f tex_end = tex + quad.texture.size;
    const sf::Vertex top_left{quad.corners[0], quad.color, tex};
    const sf::Vertex top_right{quad.corners[1], quad.color, sf::Vector2f(tex_end.x, tex.y)};
    const sf::Vertex bottom_left{quad.corners[2], quad.color, sf::Vector2f(tex.x, tex_end.y)};
    const sf::Vertex bottom_right{quad.corners[3], quad.color, tex_end};
    m_vertices.insert(m_vertices.end(),
                      {top_left, top_right, bottom_left, bottom_left, top_right, bottom_right});
}

void CellBatch::emitUncovered() {
    // Every quad is upright here, so a quad's box is its first and last corner.
    const auto boxOf = [this](std::size_t quad) {
        const std::array<sf::Vector2f, 4>& c = m_quads[quad].corners;
        return Box{c[0].x, c[0].y, c[3].x, c[3].y};
    };
    const std::size_t cells = m_has_glyph.size();
    const Box first = boxOf(0);
    m_bucket_size = sf::Vector2f(std::max(first.right - first.left, 1.0f),
                                 std::max(first.bottom - first.top, 1.0f));
    Box extent = first;
    for (std::size_t cell = 0; cell < cells; cell++) {
        const Box box = boxOf(2 * cell);
        extent = Box{std::min(extent.left, box.left), std::min(extent.top, box.top),
                     std::max(extent.right, box.right), std::max(extent.bottom, box.bottom)};
    }
    m_bucket_origin = sf::Vector2f(extent.left, extent.top);
    m_buckets_x = bucketCount(extent.right - extent.left, m_bucket_size.x);
    m_buckets_y = bucketCount(extent.bottom - extent.top, m_bucket_size.y);
    m_bucket_heads.assign(static_cast<std::size_t>(m_buckets_x * m_buckets_y), -1);
    m_bucket_entries.clear();
    m_all_pieces.clear();
    m_cell_pieces.assign(cells, {0, 0});

    // From the last cell back, so that the backgrounds filed so far are those
    // drawn after the glyph at hand.
    for (std::size_t cell = cells; cell-- > 0;) {
        if (m_has_glyph[cell]) {
            uncoveredPieces(cell, boxOf(2 * cell + 1));
        }
        fileBackground(cell, boxOf(2 * cell));
    }
    // The pieces in the cells' own order: glyphs that overlap blend in turn.
    for (std::size_t cell = 0; cell < cells; cell++) {
        const Quad& glyph = m_quads[2 * cell + 1];
        const Box whole = boxOf(2 * cell + 1);
        // A glyph quad is as large in pixels as in the texture.
        const sf::Vector2f offset = glyph.texture.position - sf::Vector2f(whole.left, whole.top);
        const auto [first_piece, count] = m_cell_pieces[cell];
        for (std::size_t i = first_piece; i < first_piece + count; i++) {
            const Box& p = m_all_pieces[i];
            emit(Quad{{sf::Vector2f(p.left, p.top), sf::Vector2f(p.right, p.top),
                       sf::Vector2f(p.left, p.bottom), sf::Vector2f(p.right, p.bottom)},
                      glyph.color,
                      sf::FloatRect(sf::Vector2f(p.left, p.top) + offset,
                                    sf::Vector2f(p.right - p.left, p.bottom - p.top))});
        }
    }
}

void CellBatch::uncoveredPieces(std::size_t cell, const Box& glyph) {
    m_pieces.assign(1, glyph);
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bucketRange(glyph, x0, y0, x1, y1);
    for (int y = y0; y <= y1 && !m_pieces.empty(); y++) {
        for (int x = x0; x <= x1; x++) {
            for (int entry = m_bucket_heads[static_cast<std::size_t>(y * m_buckets_x + x)];
                 entry != -1; entry = m_bucket_entries[static_cast<std::size_t>(entry)].first) {
                const std::array<sf::Vector2f, 4>& c =
                    m_quads[2 * static_cast<std::size_t>(
                                    m_bucket_entries[static_cast<std::size_t>(entry)].second)]
                        .corners;
                cut(Box{c[0].x, c[0].y, c[3].x, c[3].y});
            }
        }
    }
    m_cell_pieces[cell] = {m_all_pieces.size(), m_pieces.size()};
    m_all_pieces.insert(m_all_pieces.end(), m_pieces.begin(), m_pieces.end());
}

void CellBatch::cut(const Box& hole) {
    m_cut.clear();
    for (const Box& p : m_pieces) {
        if (p.right <= hole.left || hole.right <= p.left || p.bottom <= hole.top ||
            hole.bottom <= p.top) {
            m_cut.push_back(p);
            continue;
        }
        // What lies above and below the hole, then beside it between those.
        const float top = std::max(p.top, hole.top);
        const float bottom = std::min(p.bottom, hole.bottom);
        if (p.top < hole.top) {
            m_cut.push_back(Box{p.left, p.top, p.right, hole.top});
        }
        if (hole.bottom < p.bottom) {
            m_cut.push_back(Box{p.left, hole.bottom, p.right, p.bottom});
        }
        if (p.left < hole.left) {
            m_cut.push_back(Box{p.left, top, hole.left, bottom});
        }
        if (hole.right < p.right) {
            m_cut.push_back(Box{hole.right, top, p.right, bottom});
        }
    }
    m_pieces.swap(m_cut);
}

void CellBatch::fileBackground(std::size_t cell, const Box& box) {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bucketRange(box, x0, y0, x1, y1);
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            int& head = m_bucket_heads[static_cast<std::size_t>(y * m_buckets_x + x)];
            m_bucket_entries.emplace_back(head, static_cast<int>(cell));
            head = static_cast<int>(m_bucket_entries.size()) - 1;
        }
    }
}

void CellBatch::bucketRange(const Box& box, int& x0, int& y0, int& x1, int& y1) const {
    x0 = bucketIndex(box.left, m_bucket_origin.x, m_bucket_size.x, m_buckets_x);
    x1 = bucketIndex(box.right, m_bucket_origin.x, m_bucket_size.x, m_buckets_x);
    y0 = bucketIndex(box.top, m_bucket_origin.y, m_bucket_size.y, m_buckets_y);
    y1 = bucketIndex(box.bottom, m_bucket_origin.y, m_bucket_size.y, m_buckets_y);
}

}  // namespace ox
