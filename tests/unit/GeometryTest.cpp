#include <gtest/gtest.h>

#include "Color.h"
#include "WorldKit.h"
#include "geometry.h"

namespace {

using ox::Box;
using ox::Vector;

TEST(Geometry, EdgesCountAsContact) {
    const Box unit(Vector(0, 0), 1, 1);
    const struct {
        Box other;
        bool meets;
    } cases[] = {
        {Box(Vector(1, 0), 1, 1), true},       // shared edge
        {Box(Vector(1, 1), 1, 1), true},       // shared corner
        {Box(Vector(-5, -5), 20, 20), true},   // containment
        {Box(Vector(1.01f, 0), 1, 1), false},  // a gap
        {Box(Vector(0.5f, 3), 1, 1), false},   // overlap on x only
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ox::boxIntersectsBox(unit, c.other), c.meets) << c.other.toString();
        EXPECT_EQ(ox::boxIntersectsBox(c.other, unit), c.meets) << c.other.toString();
    }
    EXPECT_TRUE(ox::boxContainsPosition(unit, Vector(1, 1)));
    EXPECT_TRUE(ox::boxContainsPosition(unit, Vector(0, 0)));
    EXPECT_FALSE(ox::boxContainsPosition(unit, Vector(1.01f, 0)));
}

TEST(Geometry, NormalIsTheSideRunInto) {
    ox_test::World world(80, 24, 1);
    const struct {
        Vector start, velocity, obstacle, normal;
    } cases[] = {
        {{5, 5}, {0, 1.5f}, {5, 7}, {0, -1}},  // down onto the top
        {{15, 7}, {0, -1.5f}, {15, 5}, {0, 1}},
        {{5, 15}, {1.5f, 0}, {7, 15}, {-1, 0}},
        {{27, 15}, {-1.5f, 0}, {25, 15}, {1, 0}},
        {{40, 10}, {1.5f, 1.5f}, {41.5f, 11.5f}, {-1, -1}},  // corner probe only
        {{50, 10}, {0.5f, 1.5f}, {51, 12}, {0, -1}},         // side touched before corner
        // Seven halvings leave the mover at 0.484375 of its motion: 50 cells
        // toward 25.5 ends at 24.22, inside the left probe; 100 cells toward
        // 50.5 ends at 48.44, short of every probe (an eighth would reach it).
        {{0, 30}, {50, 0}, {25.5f, 30}, {-1, 0}},
        {{0, 40}, {100, 0}, {50.5f, 40}, {0, 0}},
        {{5, 20}, {1, 0}, {50, 22}, {0, 0}},  // never meet
    };
    for (const auto& c : cases) {
        auto* p_mover = new ox_test::Recorder(c.start, ox::SPECTRAL);
        p_mover->setVelocity(c.velocity);
        auto* p_obstacle = new ox_test::Recorder(c.obstacle, ox::SPECTRAL);
        EXPECT_EQ(ox::getNormal(p_mover, p_obstacle), c.normal) << c.start.toString();
    }
    EXPECT_EQ(world.log().count("getNormal(): No collision detected. Returning (0,0)."), 2);
}

TEST(Geometry, VectorsAddInPlaceAndBoxesDifferInEachPart) {
    Vector sum(1, 2);
    sum += Vector(3, -5);
    EXPECT_EQ(sum, Vector(4, -3));
    const Box box(Vector(1, 2), 3, 4);
    EXPECT_EQ(box, Box(Vector(1, 2), 3, 4));
    for (const Box& other :
         {Box(Vector(1, 2.5f), 3, 4), Box(Vector(1, 2), 3.5f, 4), Box(Vector(1, 2), 3, 4.5f)}) {
        EXPECT_NE(box, other) << other.toString();
    }
}

TEST(Geometry, AVelocityIsAUnitDirectionTimesASpeed) {
    ox_test::World world(80, 24, 1);
    auto* p_o = new ox_test::Recorder(Vector(5, 5), ox::SPECTRAL);
    const struct {
        Vector velocity;
        float speed;
        Vector direction;
    } cases[] = {{{3, -4}, 5, {0.6f, -0.8f}}, {{-0.5f, 0}, 0.5f, {-1, 0}}, {{0, 0}, 0, {0, 0}}};
    for (const auto& c : cases) {
        p_o->setVelocity(c.velocity);
        EXPECT_FLOAT_EQ(p_o->getSpeed(), c.speed);
        EXPECT_NEAR(p_o->getDirection().getX(), c.direction.getX(), 1e-6);
        EXPECT_NEAR(p_o->getDirection().getY(), c.direction.getY(), 1e-6);
        EXPECT_NEAR(p_o->getVelocity().getX(), c.velocity.getX(), 1e-6);
        EXPECT_NEAR(p_o->getVelocity().getY(), c.velocity.getY(), 1e-6);
    }
    // A direction is only a heading; the speed stays.
    p_o->setSpeed(2);
    p_o->setDirection(Vector(0, -7));
    EXPECT_EQ(p_o->getDirection(), Vector(0, -1));
    EXPECT_EQ(p_o->getVelocity(), Vector(0, -2));
}

TEST(Colors, EachNamedColorHasItsOwnRGBAndName) {
    ox_test::World world(80, 24, 5);
    const struct {
        ox::Color color;
        sf::Color rgb;
        const char* name;
    } cases[] = {{ox::BLACK, {0, 0, 0}, "Black"},
                 {ox::RED, {255, 0, 0}, "Red"},
                 {ox::GREEN, {0, 255, 0}, "Green"},
                 {ox::YELLOW, {255, 255, 0}, "Yellow"},
                 {ox::BLUE, {0, 0, 255}, "Blue"},
                 {ox::MAGENTA, {255, 0, 255}, "Magenta"},
                 {ox::CYAN, {0, 255, 255}, "Cyan"},
                 {ox::WHITE, {255, 255, 255}, "White"},
                 {ox::CUSTOM, {255, 255, 255}, "Unknown color"}};
    for (const auto& c : cases) {
        unsigned char rgb[3] = {1, 2, 3};
        ox::colorToRGB(c.color, rgb[0], rgb[1], rgb[2]);
        const sf::Color expected = c.color == ox::CUSTOM ? sf::Color(1, 2, 3) : c.rgb;
        EXPECT_EQ(sf::Color(rgb[0], rgb[1], rgb[2]), expected) << c.name;
        EXPECT_EQ(ox::colorToSFML(c.color), c.rgb) << c.name;
        EXPECT_EQ(ox::colorToString(c.color), c.name);
    }
    EXPECT_TRUE(world.log().contains("colorToSFML(): Color is CUSTOM."));
}

}  // namespace
