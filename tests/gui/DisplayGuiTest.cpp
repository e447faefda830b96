// The display manager in a real window: what is drawn, captured before the
// frame is shown, against where the cell geometry puts it.
#include <gtest/gtest.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <string>

#include "CellWindow.h"
#include "Frame.h"
#include "LogCapture.h"

namespace {

using ox_test::pixelAt;
using ox_test::PixelBox;

// True when a box of pixels equals the one dy pixels below (and dx right).
bool sameAsShifted(const sf::Image& image, PixelBox box, int dy, int dx = 0) {
    return ox_test::samePixels(image, box,
                               PixelBox{box.left + dx, box.top + dy, box.width, box.height});
}

using DisplayGuiTest = ox_test::CellWindowTest;

TEST_F(DisplayGuiTest, CharacterLandsInItsCellOverTheBackgroundAndSwapClears) {
    ASSERT_EQ(display().drawCh(ox::Vector(10, 5), 'H', ox::GREEN, 0), 0);
    // The RGB form draws the same as the colour form.
    ASSERT_EQ(display().drawCh(ox::Vector(10, 10), 'H', 0, 255, 0, 0), 0);
    const sf::Image image = capture();
    EXPECT_TRUE(sameAsShifted(image, PixelBox{95, 95, 25, 35}, 5 * CELL_H));

    // The glyph, in its exact colour, starts at the cell's pixel (100, 100).
    PixelBox glyph{};
    ASSERT_TRUE(ox_test::colorBounds(image, sf::Color::Green, glyph));
    EXPECT_GE(glyph.left, 100);
    EXPECT_LE(glyph.left, 103);
    EXPECT_GE(glyph.top, 100);
    EXPECT_LE(glyph.left + glyph.width, 100 + 2 * CELL_W);
    // The background cell lies a tenth of a cell left and a fifth of a cell
    // down: pixels 99 to 108 across, 104 to 123 down.
    for (auto [x, y] : {std::pair{99, 104}, {99, 123}, {108, 123}}) {
        EXPECT_EQ(pixelAt(image, x, y), BACKGROUND) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{98, 110}, {99, 103}, {99, 124}, {109, 123}}) {
        EXPECT_EQ(pixelAt(image, x, y), GREY) << x << "," << y;
    }

    // Showing the frame clears the next one to the background colour.
    ASSERT_EQ(display().swapBuffers(), 0);
    EXPECT_EQ(ox_test::countColor(capture(), PixelBox{0, 0, 800, 480}, BACKGROUND), 800 * 480);
}

TEST_F(DisplayGuiTest, JustifiedStringsLandWhereLeftOnesWould) {
    // Centred at x = 10 draws "HELLO" at x = 8 to 12; right-justified at 5 to 9.
    const auto draw = [](float x, float y, ox::Justification justification) {
        ASSERT_EQ(display().drawString(ox::Vector(x, y), "HELLO", justification, ox::WHITE), 0);
    };
    draw(10, 3, ox::CENTER_JUSTIFIED);
    draw(8, 8, ox::LEFT_JUSTIFIED);
    draw(10, 13, ox::RIGHT_JUSTIFIED);
    draw(5, 18, ox::LEFT_JUSTIFIED);
    draw(10, 23, ox::LEFT_JUSTIFIED);  // to tell the placements apart
    const sf::Image image = capture();
    const PixelBox row3{0, 3 * CELL_H - 5, 300, CELL_H + 10};
    const PixelBox row13{0, 13 * CELL_H - 5, 300, CELL_H + 10};
    EXPECT_TRUE(sameAsShifted(image, row3, 5 * CELL_H));
    EXPECT_TRUE(sameAsShifted(image, row13, 5 * CELL_H));
    EXPECT_FALSE(sameAsShifted(image, row3, 20 * CELL_H));
    EXPECT_FALSE(sameAsShifted(image, row3, 10 * CELL_H));
}

TEST_F(DisplayGuiTest, MirroredFramesReadMirrored) {
    // Each transform of "abc/def" at (x, 5) against plain strings at (x, 15):
    // columns x - 1 to x + 1, rows 4.5 and 5.5 (half cells).
    const ox::Frame frame(3, 2, "abcdef");
    const struct {
        float x;
        int transform;
        const char *top, *bottom;
    } cases[] = {
        {10, 2, "cba", "fed"}, {30, 1, "def", "abc"}, {50, 3, "fed", "cba"}, {70, 0, "abc", "def"}};
    for (const auto& c : cases) {
        ASSERT_EQ(frame.draw(ox::Vector(c.x, 5), ox::YELLOW, 0, c.transform), 0);
        display().drawString(ox::Vector(c.x - 1, 14.5f), c.top, ox::LEFT_JUSTIFIED, ox::YELLOW);
        display().drawString(ox::Vector(c.x - 1, 15.5f), c.bottom, ox::LEFT_JUSTIFIED, ox::YELLOW);
    }
    const sf::Image image = capture();
    for (int left : {80, 280, 480, 680}) {
        EXPECT_TRUE(sameAsShifted(image, PixelBox{left, 85, 50, 55}, 10 * CELL_H)) << left;
    }
    // The mirror images are not the frame itself.
    EXPECT_FALSE(sameAsShifted(image, PixelBox{80, 85, 50, 55}, 0, 600));
    EXPECT_FALSE(sameAsShifted(image, PixelBox{80, 85, 50, 55}, 0, 200));
}

TEST_F(DisplayGuiTest, TransparentCellsLeaveWhatIsBehind) {
    sf::RectangleShape red(sf::Vector2f(120, 80));
    red.setFillColor(sf::Color::Red);
    for (float top : {60.0f, 260.0f}) {
        red.setPosition(sf::Vector2f(50, top));
        display().getWindow()->draw(red);
    }
    ASSERT_EQ(ox::Frame(3, 1, "#a#").draw(ox::Vector(10, 5), ox::WHITE, '#', 0), 0);
    ASSERT_EQ(display().drawCh(ox::Vector(10, 15), 'a', ox::WHITE, 0), 0);
    const sf::Image image = capture();
    EXPECT_TRUE(sameAsShifted(image, PixelBox{50, 60, 120, 80}, 10 * CELL_H));
    EXPECT_EQ(pixelAt(image, 92, 120), sf::Color::Red);

    // Without transparency the '#' cells are painted.
    ASSERT_EQ(ox::Frame(3, 1, "#a#").draw(ox::Vector(10, 15), ox::WHITE, 0, 0), 0);
    EXPECT_EQ(pixelAt(capture(), 92, 320), BACKGROUND);
}

TEST(DisplayGuiStartUp, DesktopSizeFontFailureAndSecondStart) {
    ASSERT_TRUE(ox_test::waitForXDisplay()) << "no X server (run under xvfb-run)";
    ox_test::LogCapture log(5);
    ox::DisplayManager& display = ox::DisplayManager::getInstance();
    ox::Config::getInstance().loadConfig(
        "window_horizontal_pixels:0,window_vertical_pixels:300,font_file:nofont.ttf,");
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(log.contains(
        "DisplayManager::startUp(): Error! Unable to open font from file 'nofont.ttf'."));
    // Only the zero size takes the desktop's.
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    EXPECT_EQ(display.getHorizontalPixels(), static_cast<int>(desktop.size.x));
    EXPECT_EQ(display.getVerticalPixels(), 300);

    // The failed start-up left its window open; a new start-up replaces it.
    ASSERT_NE(display.getWindow(), nullptr);
    ox::Config::getInstance().loadConfig("font_file:" + ox_test::CellWindowTest::FONT + ",");
    ASSERT_EQ(display.startUp(), 0);
    ASSERT_NE(display.getWindow(), nullptr);
    EXPECT_EQ(display.getWindow()->getSize().x, desktop.size.x);
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(display.getWindow()->isOpen());
    display.shutDown();
    EXPECT_EQ(display.getWindow(), nullptr);

    ox::Config::getInstance().loadConfig("window_horizontal_pixels:-5,");
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_TRUE(log.contains("DisplayManager::startUp(): Unable to allocate window!"));
}

}  // namespace
