// Real key presses and mouse actions (xdotool) in a real window on an X
// server of the test's own, checked event by event and frame by frame.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "CellWindow.h"
#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "Object.h"
#include "XSession.h"

namespace {

using ox::Keyboard::Key;

// One event as received, with its step: the key's or button's code, and
// for the mouse its position in cells.
std::string key(int step, int action, int code) {
    return std::to_string(step) + " key " + std::to_string(action) + " " + std::to_string(code);
}

std::string mouse(int step, int action, int button, ox::Vector at) {
    return std::to_string(step) + " mouse " + std::to_string(action) + " " +
           std::to_string(button) + " at " + std::to_string(at.getX()) + "," +
           std::to_string(at.getY());
}

// Runs each step's xdotool commands (and the close request), gives the
// server a moment to deliver, and records every keyboard and mouse event.
class Listener : public ox::Object {
public:
    std::map<int, std::vector<std::string>> script;
    std::map<int, std::string> later;  ///< Sent LATER after the step starts, while the loop sleeps.
    std::vector<std::thread> senders;
    int close_step = -1;
    unsigned long window = 0;
    std::vector<std::string> received;
    std::vector<std::int64_t> key_lateness;  ///< The step's lateness at each keyboard event.

    Listener() {
        setSolidness(ox::SPECTRAL);
        registerInterest(ox::STEP_EVENT);
        registerInterest(ox::KEYBOARD_EVENT);
        registerInterest(ox::MOUSE_EVENT);
    }

    int eventHandler(const ox::Event* p_e) override {
        const int step = ox::GameManager::getInstance().getStepCount();
        if (const auto* p_key = dynamic_cast<const ox::EventKeyboard*>(p_e)) {
            received.push_back(key(step, p_key->getKeyboardAction(), p_key->getKey()));
            key_lateness.push_back(ox::GameManager::getInstance().getStepLateness());
            return 1;
        }
        if (const auto* p_mouse = dynamic_cast<const ox::EventMouse*>(p_e)) {
            received.push_back(mouse(step, p_mouse->getMouseAction(), p_mouse->getMouseButton(),
                                     p_mouse->getMousePosition()));
            return 1;
        }
        if (p_e->getType() != ox::STEP_EVENT) {
            return 0;
        }
        if (later.count(step) != 0) {
            senders.emplace_back([command = later[step]] {
                std::this_thread::sleep_for(LATER);
                EXPECT_TRUE(ox_test::xdotool(command)) << "xdotool " << command;
            });
        }
        for (const std::string& command : script[step]) {
            EXPECT_TRUE(ox_test::xdotool(command)) << "xdotool " << command;
        }
        if (step == close_step) {
            EXPECT_TRUE(ox_test::requestWindowClose(window));
        }
        if (!script[step].empty() || step == close_step) {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
        if (step == 100) {  // should the close never arrive
            ox::GameManager::getInstance().setGameOver(true);
        }
        return 1;
    }

    static constexpr std::chrono::milliseconds LATER{100};
};

// Starts the engine in an 800 x 480 window of 80 x 24 cells (10 x 20 pixels
// each) and gives it the keyboard: the window's id, or 0 on failure.
unsigned long startFocused(int frame_time) {
    ox_test::writeFile("ox-config.txt",
                       "window_horizontal_pixels:800,\nwindow_vertical_pixels:480,\n"
                       "window_horizontal_chars:80,\nwindow_vertical_chars:24,\n"
                       "frame_time:" +
                           std::to_string(frame_time) +
                           ",\nfont_file:" + ox_test::CellWindowTest::FONT + ",\n");
    if (ox::GameManager::getInstance().startUp() != 0) {
        return 0;
    }
    sf::RenderWindow* p_window = ox::DisplayManager::getInstance().getWindow();
    const unsigned long id = static_cast<unsigned long>(p_window->getNativeHandle());
    // A window not yet viewable refuses the focus: ask until it takes it.
    for (int i = 0; i < 20; i++) {
        if (ox_test::xdotool("windowraise " + std::to_string(id)) &&
            ox_test::xdotool("windowfocus --sync " + std::to_string(id))) {
            return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return 0;
}

TEST(InputGui, RealKeysAndMouseThroughTheGameLoop) {
    ox_test::PrivateXServer x_server;
    ASSERT_TRUE(x_server.ok()) << "cannot start Xvfb";
    ox_test::LogCapture log(15, false);
    ox::GameManager& gm = ox::GameManager::getInstance();
    const unsigned long id = startFocused(50);
    ASSERT_NE(id, 0UL);
    sf::RenderWindow* p_window = ox::DisplayManager::getInstance().getWindow();
    const std::string w = "--window " + std::to_string(id) + " ";

    Listener& l = *new Listener;  // the world manager deletes it at shut-down
    l.window = id;
    // P held for 14 frames, past the server's auto-repeat delay.
    l.script[2] = {"keydown " + w + "p"};
    l.script[16] = {"keyup " + w + "p"};
    // By key code: by name, xdotool may hold Alt with these.
    const std::string f11 = std::to_string(ox_test::keycodeOf("F11"));
    const std::string f12 = std::to_string(ox_test::keycodeOf("F12"));
    const std::string keypad_minus = std::to_string(ox_test::keycodeOf("KP_Subtract"));
    l.script[18] = {"keydown " + w + f11};
    l.script[20] = {"keyup " + w + f11};
    l.script[21] = {"keydown " + w + f12};
    l.script[23] = {"keyup " + w + f12};
    l.script[24] = {"key " + w + "minus"};
    l.script[25] = {"key " + w + keypad_minus};
    l.script[27] = {"mousemove " + w + "455 305"};
    l.script[28] = {"mousedown 1"};
    l.script[29] = {"mousedown 3"};
    l.script[30] = {"mouseup 1", "mouseup 3"};
    l.script[31] = {"click 2"};
    l.script[32] = {"keydown " + w + "Left"};
    l.script[34] = {"keydown " + w + "q"};
    l.close_step = 34;
    gm.run();
    ox_test::xdotool("keyup " + w + "Left q");

    // What a step's handler sends reaches the window after that step took its
    // input: the next step reads it (and starts at once). The close ends the
    // loop after step 35.
    EXPECT_EQ(gm.getStepCount(), 36);
    EXPECT_TRUE(gm.getGameOver());

    const ox::Vector at(45.5f, 15.25f);  // (455, 305) pixels in 10 x 20 cells
    std::vector<std::string> expected = {key(3, ox::KEY_PRESSED, Key::P)};
    for (int step = 3; step < 17; step++) {
        expected.push_back(key(step, ox::KEY_DOWN, Key::P));
    }
    const std::vector<std::string> rest = {
        key(17, ox::KEY_RELEASED, Key::P),
        key(19, ox::KEY_PRESSED, Key::F11),  // never a KEY_DOWN for F11 or F12
        key(21, ox::KEY_RELEASED, Key::F11),
        key(22, ox::KEY_PRESSED, Key::F12),
        key(24, ox::KEY_RELEASED, Key::F12),
        key(25, ox::KEY_PRESSED, Key::UNDEFINED_KEY),  // the main keyboard's minus
        key(25, ox::KEY_RELEASED, Key::UNDEFINED_KEY),
        key(26, ox::KEY_PRESSED, Key::MINUS),  // the keypad's
        key(26, ox::KEY_RELEASED, Key::MINUS),
        mouse(28, ox::MOVED, ox::Mouse::UNDEFINED_MOUSE_BUTTON, at),
        mouse(29, ox::CLICKED, ox::Mouse::LEFT, at),
        mouse(29, ox::PRESSED, ox::Mouse::LEFT, at),
        mouse(30, ox::CLICKED, ox::Mouse::RIGHT, at),
        mouse(30, ox::PRESSED, ox::Mouse::LEFT, at),
        mouse(30, ox::PRESSED, ox::Mouse::RIGHT, at),
        mouse(32, ox::CLICKED, ox::Mouse::MIDDLE, at),
        key(33, ox::KEY_PRESSED, Key::LEFTARROW),
        key(33, ox::KEY_DOWN, Key::LEFTARROW),
        key(34, ox::KEY_DOWN, Key::LEFTARROW),
        // Step 35: Q's press comes before the close; then nothing more.
        key(35, ox::KEY_PRESSED, Key::Q),
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(l.received, expected);

    EXPECT_EQ(log.count("InputManager::toEventKeyboard(): Warning key '-' not handled."), 2);
    EXPECT_EQ(log.count("InputManager::getInput(): Window closed. Setting game over."), 1);
    EXPECT_TRUE(p_window->isOpen());  // closing is the game's decision, not the input's
    gm.shutDown();
}

// A press while the loop sleeps starts the next step at once: it is read
// then, early against the schedule, and the steps after it are back on time.
TEST(InputGui, APressWakesTheSleepingLoop) {
    ox_test::PrivateXServer x_server;
    ASSERT_TRUE(x_server.ok()) << "cannot start Xvfb";
    ox_test::LogCapture log(1, false);
    ox::GameManager& gm = ox::GameManager::getInstance();
    constexpr int FRAME_MS = 400;
    const unsigned long id = startFocused(FRAME_MS);
    ASSERT_NE(id, 0UL);
    Listener& l = *new Listener;
    l.window = id;
    l.later[2] = "key --window " + std::to_string(id) + " z";
    l.close_step = 5;
    const auto start = std::chrono::steady_clock::now();
    gm.run();
    const auto ran = std::chrono::steady_clock::now() - start;
    for (std::thread& sender : l.senders) {
        sender.join();
    }

    ASSERT_FALSE(l.received.empty());
    EXPECT_EQ(l.received[0], key(3, ox::KEY_PRESSED, Key::Z));
    // Step 3 was due a frame after step 2; the press came LATER after it.
    EXPECT_LT(l.key_lateness[0], -(FRAME_MS - 2 * Listener::LATER.count()) * 1000LL);
    // Six steps, step 5's sleep included, still take six frames.
    EXPECT_GE(ran, std::chrono::milliseconds(6 * FRAME_MS - 20));
    gm.shutDown();
}

}  // namespace
