#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

namespace ox_test {

/// A rectangle of pixels.
struct PixelBox {
    int left, top, width, height;
};

/// What has been drawn into the window since it was last shown.
sf::Image captureWindow(const sf::RenderWindow& window);

/// The pixels only this cell paints (cells of cell_w x cell_h pixels): a
/// background lies a tenth of a cell left and a fifth down from its cell, so
/// the next cell's covers this one's last tenth and its top fifth is the row
/// above's.
PixelBox cellCore(int column, int row, int cell_w, int cell_h);

/// The colour of one pixel of an image.
sf::Color pixelAt(const sf::Image& image, int x, int y);

/// True when two equally sized pixel boxes of an image hold the same pixels.
bool samePixels(const sf::Image& image, PixelBox a, PixelBox b);

/// Number of pixels of exactly one colour in a box of an image.
int countColor(const sf::Image& image, PixelBox box, sf::Color color);

/// The bounding box of the pixels of exactly one colour; false when none.
bool colorBounds(const sf::Image& image, sf::Color color, PixelBox& box);

}  // namespace ox_test
