// Objects on a headless display: setSprite, Object::draw, shapes sized from
// the cells, and the world manager's drawing order by altitude and view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Config.h"
#include "DisplayManager.h"
#include "ResourceManager.h"
#include "ScratchDir.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Vector;
using ox_test::World;

// Ids of the Painters in the order their draw ran.
std::vector<int>& painted() {
    static std::vector<int> ids;
    return ids;
}

// An object that records every draw call.
class Painter : public ox::Object {
public:
    Painter(Vector position, int altitude) {
        setPosition(position);
        setAltitude(altitude);
    }
    int draw() override {
        painted().push_back(getId());
        return Object::draw();
    }
};

class ObjectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ox::Config::getInstance().loadConfig("headless:true,font_scale:1.5,");
        ASSERT_EQ(ox::DisplayManager::getInstance().startUp(), 0);
        ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
        // Three frames of 4 x 3 cells, slowdown 1.
        std::string file = "3\n4\n3\n1\ngreen\n";
        for (int row = 0; row < 9; row++) {
            file += "abcd\n";
        }
        ox_test::writeFile("wide.txt", file);
        ASSERT_EQ(ox::ResourceManager::getInstance().loadSprite("wide.txt", "wide"), 0);
        painted().clear();
    }
    void TearDown() override {
        ox::ResourceManager::getInstance().shutDown();
        ox::DisplayManager::getInstance().shutDown();
    }

    World m_world{80, 24, 5};
};

TEST_F(ObjectDrawTest, SetSpriteTakesTheSpritesBoxAndReindexes) {
    auto* p_o = new ox::Object;
    ASSERT_EQ(p_o->setPosition(Vector(10, 10)), 0);
    auto* p_probe = new ox::Object;
    // 2.5 cells right of the object: outside its 0.99 square, inside the
    // 4-wide box of the sprite (which reaches 2 cells either side).
    const Vector beside(12.5f, 10);
    EXPECT_TRUE(ox::WorldManager::getInstance().getCollisions(p_probe, beside).isEmpty());

    p_o->setModified(0);
    ASSERT_EQ(p_o->setSprite("wide"), 0);
    EXPECT_EQ(p_o->getBox(), Box(Vector(-2, -1.5f), 4, 3));
    EXPECT_EQ(p_o->getAnimation().getName(), "wide");
    EXPECT_EQ(p_o->getModified(), static_cast<unsigned>(ox::ANIMATION | ox::BOX));
    EXPECT_EQ(ox_test::ids(ox::WorldManager::getInstance().getCollisions(p_probe, beside)),
              std::vector<int>{p_o->getId()});

    // An unknown label changes nothing.
    p_o->setModified(0);
    EXPECT_EQ(p_o->setSprite("nothing"), -1);
    EXPECT_EQ(p_o->getAnimation().getName(), "wide");
    EXPECT_EQ(p_o->getModified(), 0u);

    // Drawing plays the animation (headless, the characters themselves fail).
    for (int frame : {1, 2, 0}) {
        EXPECT_EQ(p_o->draw(), -1);
        EXPECT_EQ(p_o->getAnimation().getIndex(), frame);
    }
}

TEST_F(ObjectDrawTest, WorldDrawsVisibleObjectsInViewByAltitude) {
    auto* p_high = new Painter(Vector(5, 5), 4);
    auto* p_low = new Painter(Vector(6, 5), 0);
    auto* p_middle = new Painter(Vector(7, 5), 2);
    auto* p_low_second = new Painter(Vector(8, 5), 0);
    auto* p_hidden = new Painter(Vector(9, 5), 1);
    ASSERT_EQ(p_hidden->setVisible(false), 0);
    auto* p_asleep = new Painter(Vector(10, 5), 1);
    ASSERT_EQ(p_asleep->setActive(false), 0);
    // Outside the view but inside the world.
    ox::WorldManager::getInstance().setView(Box(Vector(0, 0), 40, 12));
    new Painter(Vector(60, 20), 3);
    // Straddling the view's right edge: its box reaches into the view.
    auto* p_edge = new Painter(Vector(40.3f, 5), 3);

    ox::WorldManager::getInstance().draw();
    EXPECT_EQ(painted(), (std::vector<int>{p_low->getId(), p_low_second->getId(), p_middle->getId(),
                                           p_edge->getId(), p_high->getId()}));
}

TEST_F(ObjectDrawTest, ShapesAreSizedFromTheCellsAndRefuseUnknownTypes) {
    // Cells of 12.8 x 32 pixels: 12 whole pixels, times the font scale 1.5.
    const ox::Shape of_object = (new ox::Object)->getShape();
    EXPECT_EQ(of_object.getSize(), 18.0f);
    EXPECT_EQ(of_object.getType(), ox::UNDEFINED_SHAPE);  // an object draws none by default
    ox::Shape shape;
    shape.setType(ox::TRIANGLE);
    shape.setType(3);
    EXPECT_EQ(shape.getType(), ox::TRIANGLE);
    EXPECT_TRUE(m_world.log().contains("Shape::setType(): Unknown shape type 3. Ignoring."));
    shape.setColor(ox::CUSTOM);
    EXPECT_EQ(shape.toString(), "triangle, size 18.000000, Unknown color, 255");
}

}  // namespace
