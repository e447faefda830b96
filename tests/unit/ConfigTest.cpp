#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "Config.h"
#include "LogCapture.h"
#include "utility.h"

namespace {

using ox::Config;

void loadFile(const std::string& content) {
    ox_test::writeFile("ox-config.txt", content);
    Config::getInstance().loadConfig("");
}

void expectDefaults(const Config& c) {
    EXPECT_EQ(c.getWindowHorizontalPixels(), 1024);
    EXPECT_EQ(c.getWindowVerticalPixels(), 768);
    EXPECT_EQ(c.getWindowHorizontalChars(), 80);
    EXPECT_EQ(c.getWindowVerticalChars(), 24);
    EXPECT_EQ(c.getWindowStyle(), 5);
    EXPECT_EQ(c.getWindowState(), 0);
    EXPECT_EQ(c.getWindowBackgroundColor(), ox::BLACK);
    EXPECT_EQ(c.getFrameTime(), 33);
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
    EXPECT_EQ(c.getWindowTitle(), "Orvix");
    EXPECT_FALSE(c.getShowMouse());
    EXPECT_FALSE(c.getHeadless());
    EXPECT_EQ(c.getFontFile(), "ox-font.ttf");
    EXPECT_EQ(c.getLogFile(), "orvix.log");
    EXPECT_EQ(c.getRandomSeed(), 0);
    EXPECT_TRUE(c.getNetworking());
    EXPECT_EQ(c.getQuadtreeThreshold(), 1);
    EXPECT_EQ(c.getQuadtreeDepth(), 10);
    EXPECT_EQ(c.getGridWidth(), 20);
    EXPECT_EQ(c.getGridHeight(), 8);
    EXPECT_TRUE(c.getSignals());
}

TEST(Config, MissingFileKeepsDefaults) {
    ox_test::LogCapture log(1);
    Config::getInstance().loadConfig("");
    expectDefaults(Config::getInstance());
    EXPECT_TRUE(log.contains(
        "Config::readConfig(): Cannot open Orvix configuration file 'ox-config.txt'."));
}

TEST(Config, StaleParserTableIsNotApplied) {
    ox_test::ScratchDir dir;
    // Another parse leaves items in the parser's table; an empty configuration
    // must not pick them up.
    EXPECT_EQ(ox::match("frame_time:7,headless:true", "x"), "");
    Config::getInstance().loadConfig("");
    expectDefaults(Config::getInstance());
}

TEST(Config, EverySettingIsRead) {
    ox_test::LogCapture log(0);
    loadFile(
        "# a comment line, whatever follows: frame_time:1,\n"
        "frame_time:25,\nfont_scale:1.5,\nwindow_horizontal_pixels:800,\n"
        "window_vertical_pixels:600,\nwindow_horizontal_chars:100,\nwindow_vertical_chars:30,\n"
        "window_background_color:yellow,\nwindow_style:7,\nwindow_state:fullscreen,\n"
        "window_title:Drum Game,\nshow_mouse:true,\nheadless:true,\nfont_file:f.ttf,\n"
        "logfile:x.log,\nrandom_seed:-1,\nnetworking:false,\ngrid_width:3,\ngrid_height:4,\n"
        "quadtree_depth:5,\nquadtree_threshold:6,\nsignals:no,\n");
    const Config& c = Config::getInstance();
    EXPECT_EQ(c.getFrameTime(), 25);
    EXPECT_FLOAT_EQ(c.getFontScale(), 1.5f);
    EXPECT_EQ(c.getWindowHorizontalPixels(), 800);
    EXPECT_EQ(c.getWindowVerticalPixels(), 600);
    EXPECT_EQ(c.getWindowHorizontalChars(), 100);
    EXPECT_EQ(c.getWindowVerticalChars(), 30);
    EXPECT_EQ(c.getWindowBackgroundColor(), ox::YELLOW);
    EXPECT_EQ(c.getWindowStyle(), 7);
    EXPECT_EQ(c.getWindowState(), 1);
    EXPECT_EQ(c.getWindowTitle(), "DrumGame");
    EXPECT_TRUE(c.getShowMouse());
    EXPECT_TRUE(c.getHeadless());
    EXPECT_EQ(c.getFontFile(), "f.ttf");
    EXPECT_EQ(c.getLogFile(), "x.log");
    EXPECT_EQ(c.getRandomSeed(), -1);
    EXPECT_FALSE(c.getNetworking());
    EXPECT_EQ(c.getGridWidth(), 3);
    EXPECT_EQ(c.getGridHeight(), 4);
    EXPECT_EQ(c.getQuadtreeDepth(), 5);
    EXPECT_EQ(c.getQuadtreeThreshold(), 6);
    EXPECT_FALSE(c.getSignals());
    EXPECT_EQ(log.messages().size(), 0u);  // nothing unsupported
}

TEST(Config, LinesJoinWithoutSeparation) {
    ox_test::ScratchDir dir;
    // Without the comma the two lines become one item: frame_time reads the
    // leading digits of "50window_title:Two" and the title stays the default.
    loadFile("frame_time:50\nwindow_title:Two Words,\n");
    const Config& c = Config::getInstance();
    EXPECT_EQ(c.getFrameTime(), 50);
    EXPECT_EQ(c.getWindowTitle(), "Orvix");
    EXPECT_EQ(c.getConfigText(), "frame_time:50window_title:Two Words,");
}

TEST(Config, CommentsCarriageReturnsAndEmptyValues) {
    ox_test::ScratchDir dir;
    loadFile(
        "frame_time:40,\r\n"
        " #grid_width:9,\r\n"  // not a comment, but its key "#grid_width" matches nothing
        "#grid_height:9,\n"
        "\r\n"
        "window_title:,\n"
        "font_file:a.ttf,");  // last line without a newline
    const Config& c = Config::getInstance();
    EXPECT_EQ(c.getFrameTime(), 40);
    EXPECT_EQ(c.getGridWidth(), 20);
    EXPECT_EQ(c.getGridHeight(), 8);
    EXPECT_EQ(c.getWindowTitle(), "Orvix");
    EXPECT_EQ(c.getFontFile(), "a.ttf");
}

TEST(Config, EnvironmentNamesTheFile) {
    ox_test::LogCapture log(1);
    ox_test::writeFile("other.cfg", "frame_time:12,\n");
    setenv("ORVIX_CONFIG", "other.cfg", 1);
    Config::getInstance().loadConfig("");
    EXPECT_EQ(Config::getInstance().getFrameTime(), 12);
    setenv("ORVIX_CONFIG", "absent.cfg", 1);
    EXPECT_EQ(Config::getInstance().readConfig(), "");
    EXPECT_TRUE(
        log.contains("Config::readConfig(): Cannot open Orvix configuration file 'absent.cfg'."));
    unsetenv("ORVIX_CONFIG");
}

TEST(Config, ValidatedSettingsRejectBadValues) {
    ox_test::LogCapture log(0);
    Config& c = Config::getInstance();
    c.loadConfig("window_background_color:Yellow,window_style:0,window_state:maximized,");
    EXPECT_EQ(c.getWindowBackgroundColor(), ox::BLACK);
    EXPECT_EQ(c.getWindowStyle(), 5);
    EXPECT_EQ(c.getWindowState(), 0);
    c.loadConfig("window_style:abc,");
    EXPECT_EQ(c.getWindowStyle(), 5);
    c.loadConfig("window_style:none,window_background_color:white,window_state:fullscreen,");
    EXPECT_EQ(c.getWindowStyle(), 0);
    EXPECT_EQ(c.getWindowBackgroundColor(), ox::WHITE);
    EXPECT_EQ(c.getWindowState(), 1);
    c.loadConfig("window_state:default,");
    EXPECT_EQ(c.getWindowState(), 0);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"loadConfig(): Unsupported window color 'Yellow'",
                                        "loadConfig(): Unsupported window style '0'",
                                        "loadConfig(): Unsupported window state 'maximized'",
                                        "loadConfig(): Unsupported window style 'abc'"}));
}

TEST(Config, NumbersReadLikeAtoiButNeverOverflow) {
    ox_test::ScratchDir dir;
    Config& c = Config::getInstance();
    c.loadConfig("frame_time:abc,grid_width:-7x,grid_height:+12,random_seed:99999999999999999999,");
    EXPECT_EQ(c.getFrameTime(), 0);
    EXPECT_EQ(c.getGridWidth(), -7);
    EXPECT_EQ(c.getGridHeight(), 12);
    EXPECT_EQ(c.getRandomSeed(), INT_MAX);
    c.loadConfig("random_seed:-99999999999999999999,window_style:4294967301,");
    EXPECT_EQ(c.getRandomSeed(), INT_MIN);
    EXPECT_EQ(c.getWindowStyle(), INT_MAX);
    c.loadConfig("font_scale:1e99,");
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
    c.loadConfig("font_scale:nan,");
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
    c.loadConfig("font_scale:x,");
    EXPECT_FLOAT_EQ(c.getFontScale(), 0.0f);
}

TEST(Config, HostileFilesNeverCrash) {
    ox_test::ScratchDir dir;
    std::string binary;
    for (int i = 0; i < 1 << 16; i++) {
        binary.push_back(static_cast<char>((i * 7919) % 256));
    }
    loadFile(binary);
    loadFile(std::string(1 << 20, 'x') + ",\nframe_time:21,\n");
    EXPECT_EQ(Config::getInstance().getFrameTime(), 21);
    loadFile(std::string(1 << 20, ':') + ",frame_time:22,\n");
    EXPECT_EQ(Config::getInstance().getFrameTime(), 21);  // parsing stopped at the colons

    std::string many;
    for (int i = 0; i < 5000; i++) {
        many += "unknown_" + std::to_string(i) + ":" + std::to_string(i) + ",\n";
    }
    many += "frame_time:23,\n";
    loadFile(many);
    EXPECT_EQ(Config::getInstance().getFrameTime(), 23);
    loadFile(std::string("frame_time:24\0garbage,\n", 23));
    EXPECT_EQ(Config::getInstance().getFrameTime(), 24);
}

TEST(Config, LogsTheConfigurationBlock) {
    ox_test::LogCapture log(1);
    Config::getInstance().loadConfig(
        "networking:false,window_title:Title,window_state:fullscreen,");
    const size_t before = log.messages().size();
    Config::getInstance().logConfig();
    std::vector<std::string> lines = log.messages();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(before));
    const std::vector<std::string> expected = {
        "-----------------------------------",
        "Orvix configuration:",
        "  Window horizontal pixels: 1024",
        "  Window vertical pixels: 768",
        "  Window horizontal characters: 80",
        "  Window vertical characters: 24",
        "  Window background color: 0",
        "  Frame time: 33",
        "  Window style: 5",
        "  Window state: fullscreen",
        "  Window title: Title",
        "  Show mouse: false",
        "  Headless: false",
        "  Font file: ox-font.ttf",
        "  Log file: orvix.log",
        "  Random seed: 0",
        "  Networking: false",
        "  Scene graph: grid",
        "  Grid width: 20",
        "  Grid height: 8",
        "-----------------------------------",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
