#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

namespace ox_test {

/// A rectangle of pixels.
struct PixelBox {
    int left, top, width, height;
};

/// What has been drawn into the window since it was last shown, read back
/// before display() swaps it away.
sf::Image captureWindow(const sf::RenderWindow& window);

/// The pixels of a character cell that only that cell paints, in a window
/// of cells of cell_w x cell_h pixels: a character's background rectangle
/// lies a tenth of a cell left and a fifth of a cell down from the cell, so
/// the rectangle of the next cell covers the last tenth of this one and the
/// top fifth belongs to the row above. What is left shows this cell's
/// background and glyph, whatever its neighbours hold.
PixelBox cellCore(int column, int row, int cell_w, int cell_h);

/// The colour of one pixel of an image.
sf::Color pixelAt(const sf::Image& image, int x, int y);

/// True when two equally sized pixel boxes of an image hold the same pixels.
bool samePixels(const sf::Image& image, PixelBox a, PixelBox b);

/// Number of pixels of exactly one colour in a box of an image.
int countColor(const sf::Image& image, PixelBox box, sf::Color color);

/// The bounding box of the pixels of exactly one colour in the image; false
/// (and box unchanged) when there are none.
bool colorBounds(const sf::Image& image, sf::Color color, PixelBox& box);

}  // namespace ox_test
