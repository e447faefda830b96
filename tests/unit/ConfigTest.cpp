#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <sstream>

#include "Config.h"
#include "LogCapture.h"
#include "Platform.h"
#include "utility.h"

namespace {

using ox::Config;
using ox::match;

void loadFile(const std::string& content) {
    ox_test::writeFile("ox-config.txt", content);
    Config::getInstance().loadConfig("");
}

/// The configuration block that logConfig writes, one line each.
std::string block(const ox_test::LogCapture& log) {
    const size_t before = log.messages().size();
    Config::getInstance().logConfig();
    std::string text;
    for (size_t i = before; i < log.messages().size(); i++) {
        text += log.messages()[i] + "\n";
    }
    return text;
}

TEST(Config, EverySettingIsReadAndLogged) {
    ox_test::LogCapture log(1);
    loadFile(
        "#frame_time:1, a comment line, whatever it holds\n"
        "frame_time:25,\r\nfont_scale:1.5,\nwindow_horizontal_pixels:800,\n"
        "window_vertical_pixels:600,\nwindow_horizontal_chars:100,\nwindow_vertical_chars:30,\n"
        "window_background_color:yellow,\nwindow_style:7,\nwindow_state:fullscreen,\n"
        "window_title:Drum Game,\nshow_mouse:true,\nheadless:true,\nfont_file:f#1.ttf,\n"
        "logfile:x.log,\nrandom_seed:-1,\nnetworking:false,\ngrid_width:3,\ngrid_height:4,\n"
        "quadtree_depth:5,\nquadtree_threshold:6,\n #signals:yes,\nsignals:no,");
    const Config& c = Config::getInstance();
    EXPECT_FLOAT_EQ(c.getFontScale(), 1.5f);
    EXPECT_EQ(c.getQuadtreeDepth(), 5);
    EXPECT_EQ(c.getQuadtreeThreshold(), 6);
    EXPECT_FALSE(c.getSignals());
    const std::string dashes(35, '-');
    EXPECT_EQ(block(log), dashes +
                              "\nOrvix configuration:\n  Window horizontal pixels: 800\n"
                              "  Window vertical pixels: 600\n  Window horizontal characters: 100\n"
                              "  Window vertical characters: 30\n  Window background color: 3\n"
                              "  Frame time: 25\n  Window style: 7\n  Window state: fullscreen\n"
                              "  Window title: DrumGame\n  Show mouse: true\n  Headless: true\n"
                              "  Font file: f#1.ttf\n  Log file: x.log\n  Random seed: -1\n"
                              "  Networking: false\n  Scene graph: grid\n  Grid width: 3\n"
                              "  Grid height: 4\n" +
                              dashes + "\n");
}

TEST(Config, MissingFileOrStaleParserTableKeepDefaults) {
    ox_test::LogCapture log(1);
    // Another parse leaves items in the parser's table; an empty configuration
    // must not pick them up.
    EXPECT_EQ(ox::match("frame_time:7,headless:true", "x"), "");
    Config::getInstance().loadConfig("");
    EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
    EXPECT_FALSE(Config::getInstance().getHeadless());
    EXPECT_TRUE(log.contains(
        "Config::readConfig(): Cannot open Orvix configuration file 'ox-config.txt'."));

    ox_test::writeFile("other.cfg", "frame_time:12,\n");
    ox::platform::setEnvironment("ORVIX_CONFIG", "other.cfg", true);
    Config::getInstance().loadConfig("");
    EXPECT_EQ(Config::getInstance().getFrameTime(), 12);
    ox::platform::unsetEnvironment("ORVIX_CONFIG");
}

TEST(Config, BadValuesAreRefusedOrClamped) {
    ox_test::LogCapture log(0);
    Config& c = Config::getInstance();
    c.loadConfig("window_background_color:Yellow,window_style:0,window_state:maximized,");
    EXPECT_EQ(c.getWindowBackgroundColor(), ox::BLACK);
    EXPECT_EQ(c.getWindowStyle(), 5);
    EXPECT_EQ(c.getWindowState(), 0);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"loadConfig(): Unsupported window color 'Yellow'",
                                        "loadConfig(): Unsupported window style '0'",
                                        "loadConfig(): Unsupported window state 'maximized'"}));
    // Numbers read like atoi, but never overflow.
    c.loadConfig("frame_time:abc,grid_width:-7x,grid_height:+12,random_seed:99999999999999999999,");
    EXPECT_EQ(c.getFrameTime(), 0);
    EXPECT_EQ(c.getGridWidth(), -7);
    EXPECT_EQ(c.getGridHeight(), 12);
    EXPECT_EQ(c.getRandomSeed(), INT_MAX);
    c.loadConfig("random_seed:-99999999999999999999,window_style:4294967301,font_scale:1e99,");
    EXPECT_EQ(c.getRandomSeed(), INT_MIN);
    EXPECT_EQ(c.getWindowStyle(), INT_MAX);
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
    c.loadConfig("font_scale:nan,window_style:none,");
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
    EXPECT_EQ(c.getWindowStyle(), 0);  // no title bar, no border
}

TEST(Match, FindsValuesAndKeepsTheTableOfTheLastParse) {
    EXPECT_EQ(match("a:1,b:2", "b"), "2");
    EXPECT_EQ(match("", "a"), "1");  // the table of the last parse
    EXPECT_EQ(match(" a : 1 ,\tb :\n2 ", "b"), "2");
    EXPECT_EQ(match("x:9", "a"), "");  // a new parse replaces the table
    EXPECT_EQ(match("", "a"), "");
    const struct {
        const char* text;
        const char* key;
        const char* value;
    } cases[] = {
        {"a:1,,b:2", "b", "2"},    // empty items are skipped
        {"a:1,::,b:2", "a", "1"},  // an item of colons stops the parse, keeping what came before
        {"k:first,k:second", "k", "first"},
        {"a:b:c", "a", "b"},
        {"lonely,a:1", "lonely", ""},
        {"lonely,a:1", "a", "1"},
        {"::k::v:,", "k", "v"},  // runs of colons separate alike
        {"Key:1", "key", ""},    // keys are case-sensitive
        {"keys:1,akey:2,key:3", "key", "3"},  // the whole key, not one that holds it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(match(c.text, c.key), c.value) << c.text << " / " << c.key;
    }
}

TEST(Utility, CheckStreamNamesTheFirstStateThatHolds) {
    ox_test::LogCapture log(0);
    std::stringstream good("x");
    EXPECT_EQ(ox::checkStream("A::good()", good), 0);
    std::stringstream eof("");
    eof.get();  // sets eof and fail: eof is reported
    EXPECT_EQ(ox::checkStream("A::eof()", eof), -1);
    std::stringstream fail("abc");
    int n;
    fail >> n;  // fail only
    EXPECT_EQ(ox::checkStream("B::fail()", fail), -1);
    std::stringstream bad("x");
    bad.setstate(std::ios::badbit);
    EXPECT_EQ(ox::checkStream("C::bad()", bad), -1);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"A::eof(): Error! Stream eof.",
                                                        "B::fail(): Error! Stream fail.",
                                                        "C::bad(): Error! Stream bad."}));
}

}  // namespace
