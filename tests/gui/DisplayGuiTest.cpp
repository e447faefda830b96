// Drawing in a real window, captured before the frame is shown: the display
// manager's characters, strings and frames against where the cell geometry
// puts them, and objects, shapes and view objects drawn by the world manager
// cell by cell against characters drawn alone for reference.
#include <gtest/gtest.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "CellWindow.h"
#include "Frame.h"
#include "Sprite.h"
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Vector;
using ox_test::cellCore;
using ox_test::pixelAt;
using ox_test::PixelBox;

// True when a box of pixels equals the one dy pixels below (and dx right).
bool sameAsShifted(const sf::Image& image, PixelBox box, int dy, int dx = 0) {
    return ox_test::samePixels(image, box,
                               PixelBox{box.left + dx, box.top + dy, box.width, box.height});
}

using DisplayGuiTest = ox_test::CellWindowTest;

TEST_F(DisplayGuiTest, CharacterLandsInItsCellOverTheBackgroundAndSwapClears) {
    ASSERT_EQ(display().drawCh(Vector(10, 5), 'H', ox::GREEN, 0), 0);
    // The RGB form draws the same as the colour form.
    ASSERT_EQ(display().drawCh(Vector(10, 10), 'H', 0, 255, 0, 0), 0);
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

TEST_F(DisplayGuiTest, RightJustifiedStringsEndBeforeTheirPosition) {
    // Right-justified at x = 10 draws "HELLO" at x = 5 to 9. (Centred strings
    // are the view objects'.)
    for (auto [x, y, justification] : {std::tuple{10.0f, 3.0f, ox::RIGHT_JUSTIFIED},
                                       {5.0f, 8.0f, ox::LEFT_JUSTIFIED},
                                       {10.0f, 13.0f, ox::LEFT_JUSTIFIED}}) {
        ASSERT_EQ(display().drawString(Vector(x, y), "HELLO", justification, ox::WHITE), 0);
    }
    const sf::Image image = capture();
    const PixelBox row3{0, 3 * CELL_H - 5, 300, CELL_H + 10};
    EXPECT_TRUE(sameAsShifted(image, row3, 5 * CELL_H));
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
        ASSERT_EQ(frame.draw(Vector(c.x, 5), ox::YELLOW, 0, c.transform), 0);
        display().drawString(Vector(c.x - 1, 14.5f), c.top, ox::LEFT_JUSTIFIED, ox::YELLOW);
        display().drawString(Vector(c.x - 1, 15.5f), c.bottom, ox::LEFT_JUSTIFIED, ox::YELLOW);
    }
    const sf::Image image = capture();
    for (int left : {80, 280, 480, 680}) {
        EXPECT_TRUE(sameAsShifted(image, PixelBox{left, 85, 50, 55}, 10 * CELL_H)) << left;
    }
    // The mirror images are not the frame itself.
    EXPECT_FALSE(sameAsShifted(image, PixelBox{80, 85, 50, 55}, 0, 600));
    EXPECT_FALSE(sameAsShifted(image, PixelBox{80, 85, 50, 55}, 0, 200));
}

// One character of a scene, or (ch 0) the place where a shape is drawn
// straight into the window, over the cells before it and under those after.
struct SceneCell {
    Vector where;
    char ch;
    sf::Color color;
    float rotation;
};

// Every printable character and a few others, in many colours, one in ten
// turned by each of the rotations, most of them next to others whose
// background overlaps them, and a half-transparent shape in the middle with
// gaps in the cells over it.
std::vector<SceneCell> mixedScene(const std::vector<float>& rotations) {
    std::vector<SceneCell> scene;
    int i = 0;
    for (int row = 1; row < 23; row += 2) {
        for (int column = 1; column < 79; column++, i++) {
            if (row == 11 && column == 40) {
                scene.push_back({Vector(), 0, sf::Color(), 0});
            }
            if (row >= 9 && row <= 13 && column % 3 == 0 && column > 30 && column < 50) {
                continue;  // transparent cells over the shape
            }
            const char ch = static_cast<char>(i < 2 * 78 ? 32 + i % 95 : (i * 7) % 256);
            const sf::Color color(static_cast<std::uint8_t>(i * 37),
                                  static_cast<std::uint8_t>(255 - i),
                                  static_cast<std::uint8_t>(i * 11));
            scene.push_back(
                {Vector(static_cast<float>(column), static_cast<float>(row) + (i % 4) / 4.0f), ch,
                 color, i % 10 < static_cast<int>(rotations.size()) ? rotations[i % 10] : 0});
        }
    }
    return scene;
}

sf::CircleShape sceneShape() {
    sf::CircleShape circle(60);
    circle.setPosition(sf::Vector2f(340, 170));
    circle.setFillColor(sf::Color(255, 0, 255, 140));
    return circle;
}

// The characters as they were drawn before batching, one at a time: the
// background rectangle, then a one-character bold text.
void drawCharacterByCharacter(sf::RenderWindow& window, const std::vector<SceneCell>& scene,
                              const sf::Font& font, unsigned size) {
    using Test = ox_test::CellWindowTest;
    for (const SceneCell& cell : scene) {
        if (cell.ch == 0) {
            window.draw(sceneShape());
            continue;
        }
        const sf::Vector2f pixel(cell.where.getX() * Test::CELL_W,
                                 cell.where.getY() * Test::CELL_H);
        sf::RectangleShape rectangle(sf::Vector2f(Test::CELL_W, Test::CELL_H));
        rectangle.setFillColor(Test::BACKGROUND);
        rectangle.setPosition(pixel + sf::Vector2f(-Test::CELL_W / 10.0f, Test::CELL_H / 5.0f));
        rectangle.setRotation(sf::degrees(cell.rotation));
        window.draw(rectangle);
        sf::Text text(font, sf::String(cell.ch), size);
        text.setStyle(sf::Text::Bold);
        text.setPosition(pixel);
        text.setFillColor(cell.color);
        text.setRotation(sf::degrees(cell.rotation));
        window.draw(text);
    }
}

// Pixels that differ between two images of one size.
int differentPixels(const sf::Image& a, const sf::Image& b) {
    int count = 0;
    for (unsigned y = 0; y < a.getSize().y; y++) {
        for (unsigned x = 0; x < a.getSize().x; x++) {
            count += a.getPixel({x, y}) != b.getPixel({x, y}) ? 1 : 0;
        }
    }
    return count;
}

TEST_F(DisplayGuiTest, BatchedCellsGiveThePixelsOfCharacterByCharacterDrawing) {
    // Upright or turned by right angles the pixels are the same; by other
    // angles the batch turns its glyphs before drawing and a text had them
    // turned while drawn, so a pixel on a glyph's edge may round the other way.
    const struct {
        std::vector<float> rotations;
        int tolerance;  // differing pixels allowed in 800 x 480
    } cases[] = {{{}, 0}, {{90, 180, 270}, 0}, {{90, 33.5f, -12, 180}, 800 * 480 / 2000}};
    for (const auto& c : cases) {
        const std::vector<SceneCell> scene = mixedScene(c.rotations);
        for (float font_scale : {2.0f, 1.0f, 3.5f}) {
            // A fresh start-up: every glyph of the scene is new to the font
            // when the batch meets it, so its texture grows mid-frame.
            display().shutDown();
            ox::Config::getInstance().loadConfig("font_scale:" + std::to_string(font_scale) + ",");
            ASSERT_EQ(display().startUp(), 0);
            // The frame starts cleared to the background colour, as in a game.
            ASSERT_EQ(display().swapBuffers(), 0);
            for (const SceneCell& cell : scene) {
                if (cell.ch == 0) {
                    window().draw(sceneShape());
                } else {
                    display().drawCh(cell.where, cell.ch, cell.color.r, cell.color.g, cell.color.b,
                                     cell.rotation);
                }
            }
            const sf::Image batched = capture();

            sf::Font font;
            ASSERT_TRUE(font.openFromFile(FONT));
            window().clear(BACKGROUND);
            drawCharacterByCharacter(window(), scene, font,
                                     static_cast<unsigned>(font_scale * CELL_W));
            EXPECT_LE(differentPixels(batched, capture()), c.tolerance)
                << "font scale " << font_scale << ", " << c.rotations.size() << " rotations";
        }
    }
    ox::Config::getInstance().loadConfig("font_scale:2,");  // the default, for later tests
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

// A row the scenes leave free, for reference characters.
const int REFERENCE_ROW = 15;

class ViewsGuiTest : public ox_test::CellWindowTest {
protected:
    // An object at a cell and altitude.
    static ox::Object* placed(Vector where, int altitude) {
        auto* p_o = new ox::Object;
        p_o->setPosition(where);
        p_o->setAltitude(altitude);
        return p_o;
    }

    // An object showing one character in a colour.
    ox::Object* character(Vector where, char ch, ox::Color color, int altitude) {
        m_sprites.push_back(std::make_unique<ox::Sprite>(1));
        m_sprites.back()->setWidth(1);
        m_sprites.back()->setHeight(1);
        m_sprites.back()->setColor(color);
        m_sprites.back()->addFrame(ox::Frame(1, 1, std::string(1, ch)));
        ox::Animation animation;
        animation.setSprite(m_sprites.back().get());
        ox::Object* p_o = placed(where, altitude);
        p_o->setAnimation(animation);
        return p_o;
    }

    static ox::Shape circle(float size, ox::Color color, unsigned char alpha = 255) {
        ox::Shape shape;
        shape.setType(ox::CIRCLE);
        shape.setSize(size);
        shape.setColor(color);
        shape.setAlpha(alpha);
        return shape;
    }

    // True when no character painted the cell's background.
    static bool noCharacter(const sf::Image& image, int column, int row) {
        return ox_test::countColor(image, cellCore(column, row, CELL_W, CELL_H), BACKGROUND) == 0;
    }

    // Draws each character alone on the reference row, every third column.
    void drawReferences(const std::string& text, ox::Color color) {
        for (char ch : text) {
            const int column = 2 + 3 * static_cast<int>(m_reference.size());
            display().drawCh(Vector(static_cast<float>(column), REFERENCE_ROW), ch, color, 0);
            m_reference[ch] = column;
        }
    }

    // Checks that a row shows text from a column on, cell by cell.
    void expectText(const sf::Image& image, int column, int row, const std::string& text) {
        for (int i = 0; i < static_cast<int>(text.size()); i++) {
            EXPECT_TRUE(ox_test::samePixels(
                image, cellCore(column + i, row, CELL_W, CELL_H),
                cellCore(m_reference.at(text[i]), REFERENCE_ROW, CELL_W, CELL_H)))
                << "'" << text[i] << "' at column " << column + i << ", row " << row;
        }
    }

    std::map<char, int> m_reference;
    std::vector<std::unique_ptr<ox::Sprite>> m_sprites;  // outlive the objects
    ox_test::World m_world{80, 24, 5};
};

TEST_F(ViewsGuiTest, HigherAltitudesPaintOverLowerOnes) {
    // Made first, so list order alone would draw them first.
    ox::Object* p_top_char = character(Vector(20, 5), 'W', ox::GREEN, 3);
    ox::Object* p_top_shape = placed(Vector(50, 5), 3);
    p_top_shape->setShape(circle(30, ox::GREEN));
    character(Vector(20, 5), 'M', ox::RED, 1);
    placed(Vector(50, 5), 1)->setShape(circle(30, ox::RED));
    drawReferences("W", ox::GREEN);
    drawReferences("M", ox::RED);

    ox::WorldManager::getInstance().draw();
    sf::Image image = capture();
    expectText(image, 20, 5, "W");
    // The circle's centre: its pixel position (500, 100) plus half its size.
    EXPECT_EQ(pixelAt(image, 515, 115), sf::Color::Green);

    // Swapped layers swap the winner.
    ASSERT_EQ(p_top_char->setAltitude(0), 0);
    ASSERT_EQ(p_top_shape->setAltitude(0), 0);
    ox::WorldManager::getInstance().draw();
    image = capture();
    expectText(image, 20, 5, "M");
    EXPECT_EQ(pixelAt(image, 515, 115), sf::Color::Red);

    // With the view moved 10 cells right and 2 down, world cell (20, 5)
    // shows at window cell (10, 3).
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.setBoundary(ox::Box(Vector(0, 0), 160, 48));
    world.setView(ox::Box(Vector(10, 2), 80, 24));
    world.draw();
    expectText(capture(), 10, 3, "M");
}

TEST_F(ViewsGuiTest, ShapeFillAlphaAndPlacement) {
    // An opaque circle of size 40 at cell (10, 5), pixel (100, 100): a
    // ten-point polygon of radius 40 in the square from (80, 80), its top
    // and bottom points on the square's edges.
    circle(40, ox::GREEN).draw(Vector(10, 5));
    // Half transparent red over the grey clear colour.
    circle(40, ox::RED, 128).draw(Vector(40, 5));
    const sf::Image image = capture();
    PixelBox box{};
    ASSERT_TRUE(ox_test::colorBounds(image, sf::Color::Green, box));
    EXPECT_NEAR(box.top, 80, 1);
    EXPECT_NEAR(box.height, 80, 2);
    EXPECT_NEAR(box.left + box.width / 2, 120, 1);
    EXPECT_NEAR(box.width, 76, 2);  // 2 x 40 x cos 18 degrees
    EXPECT_EQ(pixelAt(image, 120, 120), sf::Color::Green);
    // 255 x 128/255 + 90 x 127/255 in red, 90 x 127/255 in green and blue.
    const sf::Color blended = pixelAt(image, 420, 120);
    EXPECT_NEAR(blended.r, 173, 2);
    EXPECT_NEAR(blended.g, 45, 2);
    EXPECT_NEAR(blended.b, 45, 2);
}

TEST_F(ViewsGuiTest, SquaresAndTrianglesStandWhereTheirCellIs) {
    // Size 40 at font scale 2. The square: a four-point circle of radius 20
    // turned by 45 degrees, placed 20 right and 40 / 1.75 up of the cell's
    // pixel, so upright with sides of 20 x sqrt 2. The triangle: a
    // three-point circle of radius 20 placed 20 left and up, its tip on top.
    const struct {
        int type;
        ox::Color color;
        sf::Color pixels;
        Vector cell;                     // pixel (10 x, 20 y)
        float left, top, width, height;  // the shape's box in pixels
    } cases[] = {
        {ox::SQUARE, ox::CYAN, sf::Color::Cyan, Vector(10, 17), 105.9f, 331.3f, 28.3f, 28.3f},
        {ox::TRIANGLE, ox::MAGENTA, sf::Color::Magenta, Vector(40, 17), 382.7f, 320, 34.6f, 30},
    };
    for (const auto& c : cases) {
        ox::Shape shape = circle(40, c.color);
        shape.setType(c.type);
        shape.draw(c.cell);
    }
    const sf::Image image = capture();
    for (const auto& c : cases) {
        PixelBox box{};
        ASSERT_TRUE(ox_test::colorBounds(image, c.pixels, box)) << c.type;
        EXPECT_NEAR(box.left, c.left, 1) << c.type;
        EXPECT_NEAR(box.top, c.top, 1) << c.type;
        EXPECT_NEAR(box.width, c.width, 2) << c.type;
        EXPECT_NEAR(box.height, c.height, 2) << c.type;
    }
    // The square is full at its corners; the triangle's top corners are not.
    EXPECT_EQ(pixelAt(image, 107, 333), sf::Color::Cyan);
    EXPECT_EQ(pixelAt(image, 400, 322), sf::Color::Magenta);
    EXPECT_NE(pixelAt(image, 385, 322), sf::Color::Magenta);
}

TEST_F(ViewsGuiTest, BorderedViewObjectHasDashesAndBarsInTheirCells) {
    auto* p_v = new ox::ViewObject;
    p_v->setViewString("Score");
    p_v->setValue(7);
    p_v->setColor(ox::YELLOW);
    drawReferences("-|Score7", ox::YELLOW);
    ox::WorldManager::getInstance().draw();
    const sf::Image image = capture();

    // At (40, 1): " Score 7 " is nine cells from column 36 to 44.
    expectText(image, 37, 1, "Score");
    expectText(image, 43, 1, "7");
    for (int column : {36, 42, 44}) {
        const PixelBox core = cellCore(column, 1, CELL_W, CELL_H);
        EXPECT_EQ(ox_test::countColor(image, core, BACKGROUND), core.width * core.height)
            << "space at column " << column;
    }
    // Nine dashes above and below, a bar just outside each end.
    expectText(image, 36, 0, std::string(9, '-'));
    expectText(image, 36, 2, std::string(9, '-'));
    expectText(image, 35, 1, "|");
    expectText(image, 45, 1, "|");
    // Corners, and the cells beyond the bars, stay empty.
    for (auto [column, row] : {std::pair{35, 0}, {35, 2}, {45, 0}, {45, 2}, {34, 1}, {46, 1}}) {
        EXPECT_TRUE(noCharacter(image, column, row)) << column << "," << row;
    }

    // It stays in its place on the screen when the view moves.
    window().clear(GREY);
    for (const auto& [ch, column] : m_reference) {
        display().drawCh(Vector(static_cast<float>(column), REFERENCE_ROW), ch, ox::YELLOW, 0);
    }
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.setBoundary(ox::Box(Vector(0, 0), 160, 48));
    world.setView(ox::Box(Vector(10, 2), 80, 24));
    world.draw();
    expectText(capture(), 37, 1, "Score");
}

}  // namespace
