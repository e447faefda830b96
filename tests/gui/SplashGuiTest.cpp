// The splash in a real window (run under Xvfb): the frames drawn at a few
// steps are captured and the banner's green and the mascot's blue are looked
// for where they should be. With ORVIX_SHOT_DIR set, the captures are also
// saved there as "splash-STEP.png" for a person to look at.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <map>
#include <string>

#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "Object.h"
#include "Splash.h"
#include "WindowCapture.h"
#include "XSession.h"

namespace {

// Captures the window at chosen steps: during a step's handlers the window
// still holds what the previous step drew.
class Camera : public ox::Object {
public:
    std::map<int, sf::Image> shots;

    Camera() {
        setSolidness(ox::SPECTRAL);
        setVisible(false);
        registerInterest(ox::STEP_EVENT);
    }
    int eventHandler(const ox::Event* p_e) override {
        const int step = static_cast<const ox::EventStep*>(p_e)->getStepCount();
        if (step == 8 || step == 14 || step == 30 || step == 50 || step == 70) {
            shots[step] = ox_test::captureWindow(*ox::DisplayManager::getInstance().getWindow());
        }
        return 1;
    }
};

// The bounding box, in cells, of the pixels of one colour, and their count
// (0 when there are none).
struct Extent {
    int count = 0;
    float left = 0, top = 0, right = 0, bottom = 0;
};

Extent extentOf(const sf::Image& image, sf::Color color) {
    Extent e;
    ox_test::PixelBox box{};
    if (ox_test::colorBounds(image, color, box)) {
        e.count = ox_test::countColor(image, box, color);
        e.left = static_cast<float>(box.left) / ox::charWidth();
        e.right = static_cast<float>(box.left + box.width) / ox::charWidth();
        e.top = static_cast<float>(box.top) / ox::charHeight();
        e.bottom = static_cast<float>(box.top + box.height) / ox::charHeight();
    }
    return e;
}

TEST(SplashGui, BannerAndMascotAreDrawnWhereTheyBelong) {
    // A server of its own: keys held by another test would end the splash.
    ox_test::PrivateXServer x_server;
    ASSERT_TRUE(x_server.ok()) << "cannot start Xvfb";
    ox_test::LogCapture log(1, false);
    // The default window: 1024 x 768 pixels, 80 x 24 cells.
    ox_test::writeFile("ox-config.txt", "font_file:" ORVIX_RUN_DIR "/ox-font.ttf,\n");
    ox::GameManager& gm = ox::GameManager::getInstance();
    ASSERT_EQ(gm.startUp(), 0);
    auto* p_camera = new Camera;  // the world manager deletes it at shut-down
    ASSERT_EQ(ox::splash(), 0);
    EXPECT_EQ(gm.getStepCount(), 90);

    std::map<int, sf::Image>& shots = p_camera->shots;
    ASSERT_EQ(shots.size(), 5u);
    if (const char* p_dir = std::getenv("ORVIX_SHOT_DIR")) {
        for (const auto& [step, image] : shots) {
            EXPECT_TRUE(
                image.saveToFile(std::string(p_dir) + "/splash-" + std::to_string(step) + ".png"));
        }
    }
    const sf::Color green = sf::Color::Green;
    const sf::Color blue = sf::Color::Blue;

    // Step 7 drew the slanted banner sliding in after its eighth move,
    // centred at x 66.25: only its left part, from column 43.25, is inside
    // the view.
    const Extent sliding = extentOf(shots[8], green);
    EXPECT_GT(sliding.count, 500);
    EXPECT_GE(sliding.left, 43.0f);
    EXPECT_GE(sliding.top, 8.0f);
    EXPECT_LE(sliding.bottom, 17.0f);
    EXPECT_EQ(extentOf(shots[8], blue).count, 0);

    // Step 13 made the last move: the slanted banner fully in view, in
    // columns 15.3 to 61.3, still without the mascot.
    const Extent arrived = extentOf(shots[14], green);
    EXPECT_GE(arrived.left, 15.0f);
    EXPECT_LE(arrived.right, 62.5f);
    EXPECT_GT(arrived.right, 58.0f);
    EXPECT_EQ(extentOf(shots[14], blue).count, 0);

    // Step 49: the upright banner's letters in columns 15.3 to 55.3, rows 8.5
    // to 16.5; the flying mascot beside it in columns 57.3 to 68.3 at the
    // target height (rows 9.5 to 17.5). Glyphs may overhang their cells a little.
    const Extent banner = extentOf(shots[50], green);
    EXPECT_GT(banner.count, 500);
    EXPECT_GE(banner.left, 14.5f);
    EXPECT_LE(banner.right, 56.0f);
    EXPECT_GE(banner.top, 8.0f);
    EXPECT_LE(banner.bottom, 17.0f);
    const Extent mascot = extentOf(shots[50], blue);
    EXPECT_GT(mascot.count, 100);
    EXPECT_GE(mascot.left, 56.5f);
    EXPECT_LE(mascot.right, 69.0f);
    EXPECT_GE(mascot.top, 9.0f);
    EXPECT_LE(mascot.bottom, 17.5f);

    // Step 69: the mascot has settled, green now, one cell further left
    // (its last column is 65.3).
    EXPECT_EQ(extentOf(shots[70], blue).count, 0);
    const Extent settled = extentOf(shots[70], green);
    EXPECT_GT(settled.right, 60.0f);
    EXPECT_LE(settled.right, 67.0f);
    gm.shutDown();
}

}  // namespace
