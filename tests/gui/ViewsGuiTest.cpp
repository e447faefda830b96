// Objects, shapes and view objects drawn by the world manager in a real
// window, compared cell by cell with characters drawn alone for reference.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CellWindow.h"
#include "Sprite.h"
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Vector;
using ox_test::cellCore;
using ox_test::pixelAt;
using ox_test::PixelBox;

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
    EXPECT_TRUE(image.saveToFile("/tmp/orvix-views-scene.png"));
}

}  // namespace
