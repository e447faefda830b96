#pragma once

#include <gtest/gtest.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <string>

#include "Config.h"
#include "DisplayManager.h"
#include "WindowCapture.h"
#include "XDisplay.h"

namespace ox_test {

/// A started display with a real window of 800 x 480 pixels in 80 x 24 cells
/// (one cell is 10 x 20 pixels), a blue cell background and the shipped
/// font, cleared to grey; shut down after each test.
class CellWindowTest : public ::testing::Test {
public:
    static constexpr int CELL_W = 10;
    static constexpr int CELL_H = 20;
    inline static const sf::Color GREY{90, 90, 90};
    inline static const sf::Color BACKGROUND = sf::Color::Blue;
    inline static const std::string FONT = std::string(ORVIX_RUN_DIR) + "/ox-font.ttf";

protected:
    void SetUp() override {
        ASSERT_TRUE(waitForXDisplay()) << "no X server (run under xvfb-run)";
        ox::Config::getInstance().loadConfig(
            "window_horizontal_pixels:800,window_vertical_pixels:480,"
            "window_horizontal_chars:80,window_vertical_chars:24,"
            "window_background_color:blue,font_file:" +
            FONT + ",");
        ASSERT_EQ(display().startUp(), 0);
        ASSERT_NE(display().getWindow(), nullptr);
        window().clear(GREY);
    }
    void TearDown() override { display().shutDown(); }

    static ox::DisplayManager& display() { return ox::DisplayManager::getInstance(); }
    static sf::RenderWindow& window() { return *display().getWindow(); }
    static sf::Image capture() { return captureWindow(window()); }
};

}  // namespace ox_test
