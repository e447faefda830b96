// Frames, sprites, animations and objects on a headless display (drawing
// fails there, so playback shows in the animation's state): setSprite,
// Object::draw, shapes sized from the cells, and the world's drawing order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Animation.h"
#include "Config.h"
#include "DisplayManager.h"
#include "ResourceManager.h"
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
        m_sprite.setWidth(4);
        m_sprite.setHeight(3);
        m_sprite.setLabel("ship");
        for (char c : {'a', 'b', 'c'}) {
            ASSERT_EQ(m_sprite.addFrame(ox::Frame(4, 3, std::string(12, c))), 0);
        }
        m_animation.setSprite(&m_sprite);
    }
    void TearDown() override {
        ox::ResourceManager::getInstance().shutDown();
        ox::DisplayManager::getInstance().shutDown();
    }

    // The frame index before each of count draws.
    std::vector<int> play(int count) {
        std::vector<int> shown;
        for (int i = 0; i < count; i++) {
            shown.push_back(m_animation.getIndex());
            m_animation.draw(Vector(5, 5));
        }
        return shown;
    }

    World m_world{80, 24, 5};
    ox::Sprite m_sprite{3};
    ox::Animation m_animation;
};

TEST_F(ObjectDrawTest, SpriteAndFrameRefuseWhatTheyCannotHold) {
    EXPECT_EQ(m_sprite.addFrame(ox::Frame(4, 3, std::string(12, 'd'))), -1);
    EXPECT_EQ(m_sprite.getFrameCount(), 3);
    EXPECT_EQ(m_sprite.getFrame(3).getString(), "");
    EXPECT_EQ(m_sprite.getFrame(-1).getWidth(), 0);
    EXPECT_EQ(m_sprite.draw(5, Vector(1, 1), 0, 0), 0);  // out of range draws nothing

    const ox::Sprite fresh(1);
    EXPECT_EQ(fresh.getSlowdown(), 1);
    EXPECT_EQ(fresh.getColor(), ox::WHITE);
    EXPECT_EQ(fresh.getTransparency(), 0);
    ox::Sprite impossible(-3);
    EXPECT_EQ(impossible.addFrame(ox::Frame(1, 1, "a")), -1);
    EXPECT_TRUE(m_world.log().contains("Sprite::Sprite(): Error! Unable to allocate -3 frames."));

    // A string too short for its size is refused rather than read past its end.
    EXPECT_EQ(ox::Frame(3, 2, "abc").draw(Vector(), ox::RED, 0, 0), -1);
    EXPECT_TRUE(
        m_world.log().contains("Frame::draw(): Error! Frame of 3 x 2 needs 6 characters, has 3."));
    EXPECT_EQ(ox::Frame(3, 0, "abc").draw(Vector(), ox::RED, 0, 0), 0);
    // Only transparent characters: nothing to draw, successfully.
    EXPECT_EQ(ox::Frame(2, 1, "##").draw(Vector(), ox::RED, '#', 3), 0);
}

TEST_F(ObjectDrawTest, AnimationSlowdownFreezeAndWrap) {
    m_sprite.setSlowdown(2);
    m_animation.setSprite(&m_sprite);
    EXPECT_EQ(play(7), (std::vector<int>{0, 0, 1, 1, 2, 2, 0}));
    // Set again half-way through a frame, the sprite starts its slowdown afresh.
    m_animation.setSprite(&m_sprite);
    EXPECT_EQ(play(3), (std::vector<int>{0, 0, 1}));
    m_sprite.setSlowdown(1);
    m_animation.setSprite(&m_sprite);
    EXPECT_EQ(play(4), (std::vector<int>{0, 1, 2, 0}));

    m_animation.setIndex(2);
    m_animation.setSlowdownCount(-1);
    EXPECT_EQ(play(3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(m_animation.getSlowdownCount(), -1);
}

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
    EXPECT_EQ(ox_test::contents(ox::WorldManager::getInstance().getCollisions(p_probe, beside)),
              std::vector<ox::Object*>{p_o});

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
    EXPECT_EQ(shape.toString(), "circle, size 18.000000, White, 255");
    shape.setType(ox::TRIANGLE);
    shape.setType(3);
    EXPECT_EQ(shape.getType(), ox::TRIANGLE);
    EXPECT_TRUE(m_world.log().contains("Shape::setType(): Unknown shape type 3. Ignoring."));
    shape.setColor(ox::CUSTOM);
    EXPECT_EQ(shape.toString(), "triangle, size 18.000000, Unknown color, 255");
}

}  // namespace
