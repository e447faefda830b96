// The display manager in a real window (run under Xvfb): characters, strings
// and frames are drawn, the window is captured before it is shown, and the
// pixels are compared with where the cell geometry puts them.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <string>

#include "Config.h"
#include "DisplayManager.h"
#include "Frame.h"
#include "LogCapture.h"
#include "XDisplay.h"

namespace {

// 800 x 480 pixels in 80 x 24 cells: one cell is 10 x 20 pixels.
const int CELL_W = 10;
const int CELL_H = 20;
const sf::Color GREY(90, 90, 90);
const sf::Color BACKGROUND = sf::Color::Blue;

std::string fontPath() {
    return std::string(ORVIX_RUN_DIR) + "/ox-font.ttf";
}

struct Region {
    int left, top, width, height;
};

class DisplayGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ox_test::waitForXDisplay()) << "no X server (run under xvfb-run)";
        ox::Config::getInstance().loadConfig(
            "window_horizontal_pixels:800,window_vertical_pixels:480,"
            "window_horizontal_chars:80,window_vertical_chars:24,"
            "window_background_color:blue,font_file:" +
            fontPath() + ",");
        ASSERT_EQ(display().startUp(), 0);
        ASSERT_NE(display().getWindow(), nullptr);
        window().clear(GREY);
    }
    void TearDown() override { display().shutDown(); }

    static ox::DisplayManager& display() { return ox::DisplayManager::getInstance(); }
    static sf::RenderWindow& window() { return *display().getWindow(); }

    // What has been drawn so far, read back before the frame is shown.
    static sf::Image capture() {
        sf::Texture texture(window().getSize());
        texture.update(window());
        return texture.copyToImage();
    }

    // Paints a cell-aligned block of cells in a colour, straight into the window.
    static void paintCells(int column, int row, int columns, int rows, sf::Color color) {
        sf::RectangleShape block(
            sf::Vector2f(static_cast<float>(columns * CELL_W), static_cast<float>(rows * CELL_H)));
        block.setPosition(
            sf::Vector2f(static_cast<float>(column * CELL_W), static_cast<float>(row * CELL_H)));
        block.setFillColor(color);
        window().draw(block);
    }

    // True when the region and its copy shifted by (dx, dy) pixels are identical.
    static bool sameBlock(const sf::Image& image, Region region, int dy, int dx = 0) {
        for (int y = region.top; y < region.top + region.height; y++) {
            for (int x = region.left; x < region.left + region.width; x++) {
                if (image.getPixel(sf::Vector2u(x, y)) !=
                    image.getPixel(sf::Vector2u(x + dx, y + dy))) {
                    return false;
                }
            }
        }
        return true;
    }

    // The bounding box of the pixels of exactly one colour, and their count.
    static int colorBox(const sf::Image& image, sf::Color color, Region& box) {
        int count = 0;
        int right = -1, bottom = -1;
        box = Region{1 << 20, 1 << 20, 0, 0};
        const sf::Vector2u size = image.getSize();
        for (unsigned y = 0; y < size.y; y++) {
            for (unsigned x = 0; x < size.x; x++) {
                if (image.getPixel(sf::Vector2u(x, y)) == color) {
                    count++;
                    box.left = std::min(box.left, static_cast<int>(x));
                    box.top = std::min(box.top, static_cast<int>(y));
                    right = std::max(right, static_cast<int>(x));
                    bottom = std::max(bottom, static_cast<int>(y));
                }
            }
        }
        box.width = right - box.left + 1;
        box.height = bottom - box.top + 1;
        return count;
    }

    static sf::Color at(const sf::Image& image, int x, int y) {
        return image.getPixel(sf::Vector2u(x, y));
    }

    ox_test::LogCapture m_log{5};
};

TEST_F(DisplayGuiTest, CharacterLandsInItsCellOverTheBackground) {
    ASSERT_EQ(display().drawCh(ox::Vector(10, 5), 'H', ox::GREEN, 0), 0);
    const sf::Image image = capture();

    // The glyph, in its exact colour, starts at the cell's pixel (100, 100).
    Region glyph;
    ASSERT_GT(colorBox(image, sf::Color::Green, glyph), 20);
    EXPECT_GE(glyph.left, 100);
    EXPECT_LE(glyph.left, 103);
    EXPECT_GE(glyph.top, 100);
    EXPECT_LE(glyph.left + glyph.width, 100 + 2 * CELL_W);
    EXPECT_LE(glyph.top + glyph.height, 100 + CELL_H + CELL_H / 5);

    // The background cell lies a tenth of a cell left and a fifth of a cell
    // down: pixels 99 to 108 across, 104 to 123 down.
    EXPECT_EQ(at(image, 99, 104), BACKGROUND);
    EXPECT_EQ(at(image, 99, 123), BACKGROUND);
    EXPECT_EQ(at(image, 108, 123), BACKGROUND);
    EXPECT_EQ(at(image, 98, 110), GREY);
    EXPECT_EQ(at(image, 99, 103), GREY);
    EXPECT_EQ(at(image, 99, 124), GREY);
    EXPECT_EQ(at(image, 109, 123), GREY);
}

TEST_F(DisplayGuiTest, RgbAndColourFormsDrawTheSameAndSwapClears) {
    ASSERT_EQ(display().drawCh(ox::Vector(10, 5), 'x', 0, 255, 255, 0), 0);
    ASSERT_EQ(display().drawCh(ox::Vector(10, 10), 'x', ox::CYAN, 0), 0);
    const sf::Image image = capture();
    EXPECT_TRUE(sameBlock(image, Region{95, 95, 25, 35}, 5 * CELL_H));
    Region glyph;
    EXPECT_GT(colorBox(image, sf::Color::Cyan, glyph), 10);

    // Showing the frame clears the next one to the background colour.
    ASSERT_EQ(display().swapBuffers(), 0);
    const sf::Image cleared = capture();
    for (int y = 0; y < 480; y += 37) {
        for (int x = 0; x < 800; x += 41) {
            ASSERT_EQ(at(cleared, x, y), BACKGROUND) << x << "," << y;
        }
    }
}

TEST_F(DisplayGuiTest, JustifiedStringsLandWhereLeftOnesWould) {
    // Centred at x = 10 draws "HELLO" at x = 8 to 12; right-justified at 5 to 9.
    ASSERT_EQ(display().drawString(ox::Vector(10, 3), "HELLO", ox::CENTER_JUSTIFIED, ox::WHITE), 0);
    ASSERT_EQ(display().drawString(ox::Vector(8, 8), "HELLO", ox::LEFT_JUSTIFIED, ox::WHITE), 0);
    ASSERT_EQ(display().drawString(ox::Vector(10, 13), "HELLO", ox::RIGHT_JUSTIFIED, ox::WHITE), 0);
    ASSERT_EQ(display().drawString(ox::Vector(5, 18), "HELLO", ox::LEFT_JUSTIFIED, ox::WHITE), 0);
    // A left-justified string at x = 10, to tell the placements apart.
    ASSERT_EQ(display().drawString(ox::Vector(10, 23), "HELLO", ox::LEFT_JUSTIFIED, ox::WHITE), 0);
    const sf::Image image = capture();

    const Region row3{0, 3 * CELL_H - 5, 300, CELL_H + 10};
    EXPECT_TRUE(sameBlock(image, row3, 5 * CELL_H));
    const Region row13{0, 13 * CELL_H - 5, 300, CELL_H + 10};
    EXPECT_TRUE(sameBlock(image, row13, 5 * CELL_H));
    EXPECT_FALSE(sameBlock(image, row3, 20 * CELL_H));
    EXPECT_FALSE(sameBlock(image, row3, 10 * CELL_H));

    // The centred string's first glyph begins at pixel 80 (cell 8).
    Region white;
    ASSERT_GT(colorBox(image, sf::Color::White, white), 50);
    EXPECT_GE(white.left, 50);  // the right-justified one, at cell 5
    EXPECT_LE(white.left, 53);
}

TEST_F(DisplayGuiTest, MirroredFramesReadMirrored) {
    const ox::Frame frame(3, 2, "abcdef");
    // Drawn at (10, 5): columns 9 to 11, rows 4.5 and 5.5 (half cells).
    ASSERT_EQ(frame.draw(ox::Vector(10, 5), ox::YELLOW, 0, 2), 0);
    display().drawString(ox::Vector(9, 14.5f), "cba", ox::LEFT_JUSTIFIED, ox::YELLOW);
    display().drawString(ox::Vector(9, 15.5f), "fed", ox::LEFT_JUSTIFIED, ox::YELLOW);
    // Upside down, and both.
    ASSERT_EQ(frame.draw(ox::Vector(30, 5), ox::YELLOW, 0, 1), 0);
    display().drawString(ox::Vector(29, 14.5f), "def", ox::LEFT_JUSTIFIED, ox::YELLOW);
    display().drawString(ox::Vector(29, 15.5f), "abc", ox::LEFT_JUSTIFIED, ox::YELLOW);
    ASSERT_EQ(frame.draw(ox::Vector(50, 5), ox::YELLOW, 0, 3), 0);
    display().drawString(ox::Vector(49, 14.5f), "fed", ox::LEFT_JUSTIFIED, ox::YELLOW);
    display().drawString(ox::Vector(49, 15.5f), "cba", ox::LEFT_JUSTIFIED, ox::YELLOW);
    // Unmirrored, for contrast.
    ASSERT_EQ(frame.draw(ox::Vector(70, 5), ox::YELLOW, 0, 0), 0);
    display().drawString(ox::Vector(69, 14.5f), "abc", ox::LEFT_JUSTIFIED, ox::YELLOW);
    display().drawString(ox::Vector(69, 15.5f), "def", ox::LEFT_JUSTIFIED, ox::YELLOW);
    const sf::Image image = capture();

    const int shift = 10 * CELL_H;
    for (int left : {80, 280, 480, 680}) {
        EXPECT_TRUE(sameBlock(image, Region{left, 85, 50, 55}, shift)) << left;
    }
    // The mirror image is not the frame itself.
    EXPECT_FALSE(sameBlock(image, Region{80, 85, 50, 55}, 0, 600));
    EXPECT_FALSE(sameBlock(image, Region{80, 85, 50, 55}, 0, 200));
    Region glyphs;
    ASSERT_GT(colorBox(image, sf::Color::Yellow, glyphs), 100);
    EXPECT_GE(glyphs.top, 90);  // the top row sits half a cell up, at pixel row 90
}

TEST_F(DisplayGuiTest, TransparentCellsLeaveWhatIsBehind) {
    paintCells(5, 3, 12, 4, sf::Color::Red);
    paintCells(5, 13, 12, 4, sf::Color::Red);
    ASSERT_EQ(ox::Frame(3, 1, "#a#").draw(ox::Vector(10, 5), ox::WHITE, '#', 0), 0);
    ASSERT_EQ(display().drawCh(ox::Vector(10, 15), 'a', ox::WHITE, 0), 0);
    const sf::Image image = capture();
    EXPECT_TRUE(sameBlock(image, Region{50, 60, 120, 80}, 10 * CELL_H));
    // The transparent cell to the left keeps the red behind it.
    EXPECT_EQ(at(image, 92, 120), sf::Color::Red);

    // Without transparency the '#' cells are painted.
    ASSERT_EQ(ox::Frame(3, 1, "#a#").draw(ox::Vector(10, 15), ox::WHITE, 0, 0), 0);
    EXPECT_EQ(at(capture(), 92, 320), BACKGROUND);
}

TEST_F(DisplayGuiTest, SceneScreenshotInTheDefaultWindow) {
    // The default window: 1024 x 768 pixels, 80 x 24 cells of 12.8 x 32 pixels.
    display().shutDown();
    ox::Config::getInstance().loadConfig(
        "window_horizontal_pixels:1024,window_vertical_pixels:768,window_background_color:black,");
    ASSERT_EQ(display().startUp(), 0);
    window().clear(sf::Color::Black);
    display().drawString(ox::Vector(40, 2), "Orvix display", ox::CENTER_JUSTIFIED, ox::YELLOW);
    const ox::Color colors[] = {ox::RED,     ox::GREEN, ox::YELLOW, ox::BLUE,
                                ox::MAGENTA, ox::CYAN,  ox::WHITE,  ox::BLACK};
    for (int i = 0; i < 8; i++) {
        display().drawCh(ox::Vector(static_cast<float>(30 + 3 * i), 5), static_cast<char>('A' + i),
                         colors[i], 0);
    }
    const ox::Frame ship(5, 3, "  ^  < o >/___\\");
    ship.draw(ox::Vector(20, 12), ox::CYAN, ' ', 0);
    ship.draw(ox::Vector(40, 12), ox::MAGENTA, ' ', 1);
    ship.draw(ox::Vector(60, 12), ox::GREEN, ' ', 2);
    display().drawString(ox::Vector(79, 22), "right", ox::RIGHT_JUSTIFIED, ox::WHITE);
    display().drawString(ox::Vector(0, 22), "left", ox::LEFT_JUSTIFIED, ox::WHITE);
    const sf::Image image = capture();
    EXPECT_TRUE(image.saveToFile("/tmp/orvix-display-scene.png"));
    // The red A of cell (30, 5) starts at pixel (384, 160).
    Region red;
    ASSERT_GT(colorBox(image, sf::Color::Red, red), 20);
    EXPECT_GE(red.left, 384);
    EXPECT_LE(red.left, 388);
    EXPECT_GE(red.top, 160);
    EXPECT_LE(red.top + red.height, 160 + 32 + 7);
}

TEST(DisplayGuiStartUp, DesktopSizeFontFailureAndSecondStart) {
    ASSERT_TRUE(ox_test::waitForXDisplay()) << "no X server (run under xvfb-run)";
    ox_test::LogCapture log(5);
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ox::Config::getInstance().loadConfig(
        "window_horizontal_pixels:0,window_vertical_pixels:300,"
        "font_file:nofont.ttf,");
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_FALSE(display.isStarted());
    EXPECT_TRUE(log.contains(
        "DisplayManager::startUp(): Error! Unable to open font from file 'nofont.ttf'."));
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): window resolution (" +
                             std::to_string(desktop.size.x) + ", " +
                             std::to_string(desktop.size.y) + ") pixels."));
    // Only the zero size takes the desktop's; the character counts stay.
    EXPECT_EQ(display.getHorizontalPixels(), static_cast<int>(desktop.size.x));
    EXPECT_EQ(display.getVerticalPixels(), 300);
    EXPECT_EQ(display.getHorizontal(), 80);

    // The failed start-up left its window open; a new start-up replaces it.
    ASSERT_NE(display.getWindow(), nullptr);
    EXPECT_TRUE(display.getWindow()->isOpen());
    ox::Config::getInstance().loadConfig("font_file:" + fontPath() + ",");
    ASSERT_EQ(display.startUp(), 0);
    ASSERT_NE(display.getWindow(), nullptr);
    EXPECT_EQ(display.getWindow()->getSize().x, desktop.size.x);
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): successfully started."));
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(
        log.contains("DisplayManager::startup(): Warning! DisplayManager already started."));
    EXPECT_TRUE(display.getWindow()->isOpen());
    display.shutDown();
    EXPECT_EQ(display.getWindow(), nullptr);

    ox::Config::getInstance().loadConfig("window_horizontal_pixels:-5,");
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): Unable to allocate window!"));
}

}  // namespace
