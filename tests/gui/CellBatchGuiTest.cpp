// A batch of upright cells drawn on their own background colour cuts the
// glyphs where later backgrounds hide them instead of drawing those
// backgrounds: the pixels must be those of drawing every background.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <random>
#include <vector>

#include "CellBatch.h"
#include "XDisplay.h"

namespace {

const sf::Color BACKGROUND(0, 0, 160);
const sf::Vector2u SIZE(320, 200);

// Cells at fractional positions, of many sizes, each glyph reaching past its
// own background by up to a few pixels on every side, so that later
// backgrounds cover glyphs in part, and leave slivers of less than a pixel.
std::vector<ox::CellBatch::Cell> randomCells(unsigned seed, int count) {
    std::mt19937 random(seed);
    const auto uniform = [&random](float from, float to) {
        return std::uniform_real_distribution<float>(from, to)(random);
    };
    std::vector<ox::CellBatch::Cell> cells;
    for (int i = 0; i < count; i++) {
        ox::CellBatch::Cell cell;
        cell.background_corner = {uniform(-10, 310), uniform(-10, 190)};
        cell.background_size = {uniform(4, 24), uniform(4, 30)};
        cell.background = BACKGROUND;
        cell.pen = cell.background_corner + sf::Vector2f(uniform(-3, 3), uniform(-3, 3));
        cell.has_glyph = uniform(0, 1) < 0.9f;
        const sf::Vector2f size =
            cell.background_size + sf::Vector2f(uniform(-3, 4), uniform(-3, 4));
        cell.glyph_bounds = sf::FloatRect({uniform(-1, 1), uniform(-1, 1)}, size);
        cell.glyph_texture = sf::FloatRect({2, 2}, size);
        cell.color = sf::Color(static_cast<std::uint8_t>(random() % 200 + 50),
                               static_cast<std::uint8_t>(random() % 256), 255);
        cells.push_back(cell);
    }
    return cells;
}

sf::Image drawn(sf::RenderTexture& target, const sf::Texture& texture,
                const std::vector<ox::CellBatch::Cell>& cells, bool on_background) {
    ox::CellBatch batch;
    for (const ox::CellBatch::Cell& cell : cells) {
        batch.add(cell);
    }
    target.clear(BACKGROUND);
    batch.draw(target, texture, on_background);
    target.display();
    return target.getTexture().copyToImage();
}

TEST(CellBatchGui, CutGlyphsGiveThePixelsOfDrawnBackgrounds) {
    ASSERT_TRUE(ox_test::waitForXDisplay()) << "no X server (run under xvfb-run)";
    sf::RenderTexture target;
    ASSERT_TRUE(target.resize(SIZE));
    // Opaque white throughout: every glyph is a solid box of its colour.
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromImage(sf::Image({64, 64}, sf::Color::White)));
    for (unsigned seed = 1; seed <= 4; seed++) {
        const std::vector<ox::CellBatch::Cell> cells =
            randomCells(seed, 60 * static_cast<int>(seed));
        const sf::Image all = drawn(target, texture, cells, false);
        const sf::Image cut = drawn(target, texture, cells, true);
        int differing = 0;
        for (unsigned y = 0; y < SIZE.y; y++) {
            for (unsigned x = 0; x < SIZE.x; x++) {
                differing += all.getPixel({x, y}) != cut.getPixel({x, y}) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << "seed " << seed;
    }
}

}  // namespace
