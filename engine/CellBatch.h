#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <vector>

namespace sf {
class RenderTarget;
class Texture;
}  // namespace sf

namespace ox {

/// Character cells waiting to be drawn, in the order they were added, all
/// drawn at once in calls of a few dozen quads. A cell is a background quad
/// in the background colour with a glyph quad on top, both cut from one
/// texture that holds the glyphs and a patch of opaque white at its corner
/// for the backgrounds.
class CellBatch {
public:
    /// One cell: where its background and glyph lie and how they look.
    struct Cell {
        sf::Vector2f background_corner;  ///< Top-left of the background, before turning.
        sf::Vector2f background_size;    ///< Size of the background in pixels.
        sf::Color background;            ///< Colour of the background.
        sf::Vector2f pen;                ///< Where the glyph is placed.
        bool has_glyph = false;          ///< False for a character without pixels.
        sf::FloatRect glyph_bounds;      ///< The glyph's quad relative to the pen.
        sf::FloatRect glyph_texture;     ///< The glyph's pixels in the texture.
        sf::Color color;                 ///< Colour of the glyph.
        float rotation = 0;  ///< Degrees, turning background and glyph about their corners.
    };

    /// Adds a cell after those already waiting.
    void add(const Cell& cell);

    /// True when no cell is waiting.
    bool empty() const { return m_quads.empty(); }

    /// Forgets every waiting cell.
    void clear();

    /// Draws the waiting cells into target, over texture, and forgets them.
    /// on_background says that the target holds nothing but the cells' own
    /// background colour where they go: the backgrounds then only matter
    /// where they hide glyphs added before them, so those glyphs are cut
    /// instead and no background is drawn.
    void draw(sf::RenderTarget& target, const sf::Texture& texture, bool on_background);

private:
    /// An axis-aligned box by its edges.
    struct Box {
        float left, top, right, bottom;
    };

    /// A quad ready to draw: four corners (top-left, top-right, bottom-left,
    /// bottom-right), its colour and the corners' box in the texture.
    struct Quad {
        std::array<sf::Vector2f, 4> corners;
        sf::Color color;
        sf::FloatRect texture;
    };

    /// Appends a quad's two triangles to the vertices.
    void emit(const Quad& quad);

    /// The glyphs, each less the parts that later backgrounds cover.
    void emitUncovered();

    /// The parts of one glyph that none of the later backgrounds covers.
    void uncoveredPieces(std::size_t cell, const Box& glyph);

    /// Takes the box hole out of every piece.
    void cut(const Box& hole);

    /// Remembers a background for the glyphs before it: files it in the
    /// buckets its box touches.
    void fileBackground(std::size_t cell, const Box& box);

    /// The range of buckets, per axis, that a box touches.
    void bucketRange(const Box& box, int& x0, int& y0, int& x1, int& y1) const;

    std::vector<Quad> m_quads;      ///< Per cell: background then glyph.
    std::vector<bool> m_has_glyph;  ///< Per cell.
    bool m_turned = false;          ///< Some cell is turned.
    std::vector<sf::Vertex> m_vertices;

    // Work space for cutting glyphs: later backgrounds filed in buckets of
    // one background's size, and the pieces of glyphs, by cell.
    sf::Vector2f m_bucket_size;
    sf::Vector2f m_bucket_origin;
    int m_buckets_x = 0;
    int m_buckets_y = 0;
    std::vector<int> m_bucket_heads;                    ///< First entry per bucket, -1 for none.
    std::vector<std::pair<int, int>> m_bucket_entries;  ///< (next entry, cell).
    std::vector<Box> m_pieces;
    std::vector<Box> m_cut;
    std::vector<std::pair<std::size_t, std::size_t>> m_cell_pieces;  ///< (first, count) per cell.
    std::vector<Box> m_all_pieces;
};

}  // namespace ox
