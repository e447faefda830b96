#include "WindowCapture.h"

#include <SFML/Graphics/Texture.hpp>

#include <algorithm>

namespace ox_test {

sf::Image captureWindow(const sf::RenderWindow& window) {
    sf::Texture texture(window.getSize());
    texture.update(window);
    return texture.copyToImage();
}

PixelBox cellCore(int column, int row, int cell_w, int cell_h) {
    return PixelBox{column * cell_w, row * cell_h + cell_h / 5, cell_w - (cell_w + 9) / 10,
                    cell_h - cell_h / 5};
}

sf::Color pixelAt(const sf::Image& image, int x, int y) {
    return image.getPixel(sf::Vector2u(static_cast<unsigned>(x), static_cast<unsigned>(y)));
}

bool samePixels(const sf::Image& image, PixelBox a, PixelBox b) {
    for (int y = 0; y < a.height; y++) {
        for (int x = 0; x < a.width; x++) {
            if (pixelAt(image, a.left + x, a.top + y) != pixelAt(image, b.left + x, b.top + y)) {
                return false;
            }
        }
    }
    return true;
}

int countColor(const sf::Image& image, PixelBox box, sf::Color color) {
    int count = 0;
    for (int y = box.top; y < box.top + box.height; y++) {
        for (int x = box.left; x < box.left + box.width; x++) {
            count += pixelAt(image, x, y) == color ? 1 : 0;
        }
    }
    return count;
}

bool colorBounds(const sf::Image& image, sf::Color color, PixelBox& box) {
    const int width = static_cast<int>(image.getSize().x);
    const int height = static_cast<int>(image.getSize().y);
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            if (pixelAt(image, x, y) == color) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return false;
    }
    box = PixelBox{left, top, right - left + 1, bottom - top + 1};
    return true;
}

}  // namespace ox_test
