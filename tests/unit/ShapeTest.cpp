// Shapes without a window: the default size from the cell geometry, type
// checks, the text form, and an object drawing its shape only when it has a
// type. Pixels are checked in the window tests.
#include <gtest/gtest.h>

#include "Config.h"
#include "DisplayManager.h"
#include "Shape.h"
#include "WorldKit.h"

namespace {

const char* const NO_WINDOW = "Shape::draw(): DisplayManager window not defined.";

class ShapeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ox::Config::getInstance().loadConfig(
            "headless:true,window_horizontal_pixels:1024,window_vertical_pixels:768,"
            "window_horizontal_chars:80,window_vertical_chars:24,font_scale:1.5,");
    }
    void TearDown() override { ox::DisplayManager::getInstance().shutDown(); }

    ox_test::World m_world{80, 24, 5};
};

TEST_F(ShapeTest, DefaultSizeIsTheWholeCellSideTimesTheFontScale) {
    // Before the display knows its cells there is no cell side to go by.
    EXPECT_EQ(ox::Shape().getSize(), 0.0f);
    ASSERT_EQ(ox::DisplayManager::getInstance().startUp(), 0);
    // Cells of 12.8 x 32 pixels: 12 whole pixels, times 1.5.
    EXPECT_EQ(ox::Shape().getSize(), 18.0f);
    EXPECT_EQ((new ox::Object)->getShape().getSize(), 18.0f);
}

TEST_F(ShapeTest, UnknownTypesAreRefusedAndTextFormNamesEverything) {
    ox::Shape shape;
    shape.setType(ox::TRIANGLE);
    shape.setType(3);
    shape.setType(-2);
    EXPECT_EQ(shape.getType(), ox::TRIANGLE);
    EXPECT_TRUE(m_world.log().contains("Shape::setType(): Unknown shape type 3. Ignoring."));
    shape.setSize(2.5f);
    shape.setColor(ox::RED);
    shape.setAlpha(7);
    EXPECT_EQ(shape.toString(), "triangle, size 2.500000, Red, 7");
    shape.setColor(ox::CUSTOM);
    shape.setType(ox::SQUARE);
    EXPECT_EQ(shape.toString(), "square, size 2.500000, Unknown color, 7");
}

TEST_F(ShapeTest, ObjectsDrawTheirShapeOnlyWithAType) {
    ASSERT_EQ(ox::DisplayManager::getInstance().startUp(), 0);
    auto* p_o = new ox::Object;
    EXPECT_EQ(p_o->getShape().getType(), ox::UNDEFINED_SHAPE);
    EXPECT_EQ(p_o->draw(), 0);
    EXPECT_FALSE(m_world.log().contains(NO_WINDOW));

    ox::Shape shape;
    shape.setType(ox::SQUARE);
    p_o->setModified(0);
    p_o->setShape(shape);
    EXPECT_EQ(p_o->getModified(), static_cast<unsigned>(ox::SHAPE));
    // Headless, the shape only says there is no window; the object's result
    // is its (empty) animation's.
    EXPECT_EQ(p_o->draw(), 0);
    EXPECT_EQ(m_world.log().count(NO_WINDOW), 1);
}

}  // namespace
