// The colour table and its three conversions, with their log lines.
#include <gtest/gtest.h>

#include "Color.h"
#include "LogCapture.h"

namespace {

struct Expected {
    ox::Color color;
    unsigned char red, green, blue;
    const char* name;
};

const Expected TABLE[] = {
    {ox::BLACK, 0, 0, 0, "Black"},   {ox::RED, 255, 0, 0, "Red"},
    {ox::GREEN, 0, 255, 0, "Green"}, {ox::YELLOW, 255, 255, 0, "Yellow"},
    {ox::BLUE, 0, 0, 255, "Blue"},   {ox::MAGENTA, 255, 0, 255, "Magenta"},
    {ox::CYAN, 0, 255, 255, "Cyan"}, {ox::WHITE, 255, 255, 255, "White"},
};

TEST(ColorTest, TableColoursConvertAllThreeWays) {
    ox_test::LogCapture log(5);
    int value = 0;
    for (const Expected& e : TABLE) {
        EXPECT_EQ(static_cast<int>(e.color), value++);
        unsigned char red = 1, green = 2, blue = 3;
        ox::colorToRGB(e.color, red, green, blue);
        EXPECT_EQ(red, e.red);
        EXPECT_EQ(green, e.green);
        EXPECT_EQ(blue, e.blue);
        EXPECT_EQ(ox::colorToSFML(e.color), sf::Color(e.red, e.green, e.blue, 255));
        EXPECT_EQ(ox::colorToString(e.color), e.name);
    }
    EXPECT_EQ(static_cast<int>(ox::CUSTOM), 8);
    EXPECT_EQ(sizeof(ox::Color), 4u);
    // Table colours write nothing but the level announcement.
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(ColorTest, ColoursOutsideTheTable) {
    ox_test::LogCapture log(5);
    unsigned char red = 1, green = 2, blue = 3;
    ox::colorToRGB(ox::CUSTOM, red, green, blue);
    EXPECT_EQ(log.messages().size(), 1u);  // CUSTOM is silent here
    ox::colorToRGB(static_cast<ox::Color>(9), red, green, blue);
    EXPECT_EQ(red, 1);
    EXPECT_EQ(green, 2);
    EXPECT_EQ(blue, 3);
    EXPECT_TRUE(log.contains("colorToRGB(): Color 9 not supported."));

    EXPECT_EQ(ox::colorToSFML(ox::CUSTOM), sf::Color(255, 255, 255, 255));
    EXPECT_TRUE(log.contains("colorToSFML(): Color is CUSTOM."));
    EXPECT_EQ(ox::colorToSFML(static_cast<ox::Color>(-4)), sf::Color::White);
    EXPECT_TRUE(log.contains("colorToSFML(): Color -4 not supported."));

    const std::size_t lines = log.messages().size();
    EXPECT_EQ(ox::colorToString(ox::CUSTOM), "Unknown color");
    EXPECT_EQ(ox::colorToString(static_cast<ox::Color>(-1)), "Unknown color");
    EXPECT_EQ(ox::colorToString(static_cast<ox::Color>(1000)), "Unknown color");
    EXPECT_EQ(log.messages().size(), lines);
}

TEST(ColorTest, UnsupportedLinesNeedLevelFive) {
    ox_test::LogCapture log(4);
    unsigned char red = 0, green = 0, blue = 0;
    ox::colorToRGB(static_cast<ox::Color>(9), red, green, blue);
    (void)ox::colorToSFML(ox::CUSTOM);
    EXPECT_FALSE(log.containsPart("olor"));
}

}  // namespace
