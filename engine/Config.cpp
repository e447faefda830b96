#include "Config.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "LogManager.h"
#include "utility.h"

namespace ox {

namespace {

/// Leading decimal digits with an optional sign, as atoi reads them (no
/// digits gives 0), but clamped to the int range instead of overflowing.
int toInt(const std::string& value) {
    const long number = std::strtol(value.c_str(), nullptr, 10);
    if (number > INT_MAX) {
        return INT_MAX;
    }
    if (number < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(number);
}

void readInt(const std::string& value, int& setting) {
    if (!value.empty()) {
        setting = toInt(value);
    }
}

/// A decimal number as atof reads it; values that do not fit a finite float
/// (overflow, "inf", "nan") keep the setting.
void readFloat(const std::string& value, float& setting) {
    if (value.empty()) {
        return;
    }
    const float number = std::strtof(value.c_str(), nullptr);
    if (std::isfinite(number)) {
        setting = number;
    }
}

void readBool(const std::string& value, bool& setting) {
    if (!value.empty()) {
        setting = value == "true";
    }
}

void readString(const std::string& value, std::string& setting) {
    if (!value.empty()) {
        setting = value;
    }
}

}  // namespace

Config::Config()
    : m_window_horizontal_pixels(1024),
      m_window_vertical_pixels(768),
      m_window_horizontal_chars(80),
      m_window_vertical_chars(24),
      m_window_style(5),
      m_window_state(0),
      m_window_background_color(BLACK),
      m_frame_time(33),
      m_font_scale(2.0f),
      m_window_title("Orvix"),
      m_show_mouse(false),
      m_headless(false),
      m_font_file("ox-font.ttf"),
      m_logfile(LOGFILE_NAME),
      m_random_seed(0),
      m_networking(true),
      m_quadtree_threshold(1),
      m_quadtree_depth(10),
      m_grid_width(20),
      m_grid_height(8),
      m_signals(true) {}

Config& Config::getInstance() {
    static Config config;
    return config;
}

std::string Config::readConfig() {
    const char* p_env = std::getenv("ORVIX_CONFIG");
    const std::string name = p_env != nullptr ? p_env : CONFIG_FILENAME;
    std::ifstream file(name);
    if (!file.is_open()) {
        LogManager::getInstance().writeLog(
            1, "Config::readConfig(): Cannot open Orvix configuration file '%s'.", name.c_str());
        return "";
    }
    std::string text;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        text += line;
    }
    return text;
}

void Config::loadConfig(std::string config_text) {
    if (config_text.empty()) {
        config_text = readConfig();
    }
    m_config_text = std::move(config_text);
    // An empty text has no items. Looking keys up with an empty text would
    // read the parser's table of some earlier text instead, so stop here.
    if (m_config_text.empty()) {
        return;
    }
    match(m_config_text, "");
    auto value = [this](const char* key) { return match(m_config_text, key); };
    readInt(value("frame_time"), m_frame_time);
    readFloat(value("font_scale"), m_font_scale);
    readInt(value("window_horizontal_pixels"), m_window_horizontal_pixels);
    readInt(value("window_vertical_pixels"), m_window_vertical_pixels);
    readInt(value("window_horizontal_chars"), m_window_horizontal_chars);
    readInt(value("window_vertical_chars"), m_window_vertical_chars);
    applyWindowColor(value("window_background_color"));
    applyWindowStyle(value("window_style"));
    applyWindowState(value("window_state"));
    readString(value("window_title"), m_window_title);
    readBool(value("show_mouse"), m_show_mouse);
    readBool(value("headless"), m_headless);
    readString(value("font_file"), m_font_file);
    readString(value("logfile"), m_logfile);
    readInt(value("random_seed"), m_random_seed);
    readBool(value("networking"), m_networking);
    readInt(value("grid_width"), m_grid_width);
    readInt(value("grid_height"), m_grid_height);
    readInt(value("quadtree_depth"), m_quadtree_depth);
    readInt(value("quadtree_threshold"), m_quadtree_threshold);
    readBool(value("signals"), m_signals);
}

void Config::applyWindowColor(const std::string& value) {
    if (value.empty()) {
        return;
    }
    static const std::pair<const char*, Color> COLORS[] = {
        {"black", BLACK}, {"red", RED},         {"green", GREEN}, {"yellow", YELLOW},
        {"blue", BLUE},   {"magenta", MAGENTA}, {"cyan", CYAN},   {"white", WHITE},
    };
    for (const auto& [name, color] : COLORS) {
        if (value == name) {
            m_window_background_color = color;
            return;
        }
    }
    LogManager::getInstance().writeLog("loadConfig(): Unsupported window color '%s'",
                                       value.c_str());
}

void Config::applyWindowStyle(const std::string& value) {
    if (value.empty()) {
        return;
    }
    if (value == "none") {
        m_window_style = 0;
        return;
    }
    const int style = toInt(value);
    if (style == 0) {
        LogManager::getInstance().writeLog("loadConfig(): Unsupported window style '%s'",
                                           value.c_str());
        return;
    }
    m_window_style = style;
}

void Config::applyWindowState(const std::string& value) {
    if (value == "fullscreen") {
        m_window_state = 1;
    } else if (value == "default") {
        m_window_state = 0;
    } else if (!value.empty()) {
        LogManager::getInstance().writeLog("loadConfig(): Unsupported window state '%s'",
                                           value.c_str());
    }
}

void Config::logConfig() {
    LogManager& log = LogManager::getInstance();
    log.writeLog(1, "-----------------------------------");
    log.writeLog(1, "Orvix configuration:");
    log.writeLog(1, "  Window horizontal pixels: %d", m_window_horizontal_pixels);
    log.writeLog(1, "  Window vertical pixels: %d", m_window_vertical_pixels);
    log.writeLog(1, "  Window horizontal characters: %d", m_window_horizontal_chars);
    log.writeLog(1, "  Window vertical characters: %d", m_window_vertical_chars);
    log.writeLog(1, "  Window background color: %d", static_cast<int>(m_window_background_color));
    log.writeLog(1, "  Frame time: %d", m_frame_time);
    log.writeLog(1, "  Window style: %d", m_window_style);
    log.writeLog(1, "  Window state: %s", m_window_state != 0 ? "fullscreen" : "default");
    log.writeLog(1, "  Window title: %s", m_window_title.c_str());
    log.writeLog(1, "  Show mouse: %s", boolText(m_show_mouse));
    log.writeLog(1, "  Headless: %s", boolText(m_headless));
    log.writeLog(1, "  Font file: %s", m_font_file.c_str());
    log.writeLog(1, "  Log file: %s", m_logfile.c_str());
    log.writeLog(1, "  Random seed: %d", m_random_seed);
    log.writeLog(1, "  Networking: %s", boolText(m_networking));
    log.writeLog(1, "  Scene graph: grid");
    log.writeLog(1, "  Grid width: %d", m_grid_width);
    log.writeLog(1, "  Grid height: %d", m_grid_height);
    log.writeLog(1, "-----------------------------------");
}

int Config::getWindowHorizontalPixels() const {
    return m_window_horizontal_pixels;
}
int Config::getWindowVerticalPixels() const {
    return m_window_vertical_pixels;
}
int Config::getWindowHorizontalChars() const {
    return m_window_horizontal_chars;
}
int Config::getWindowVerticalChars() const {
    return m_window_vertical_chars;
}
int Config::getWindowStyle() const {
    return m_window_style;
}
int Config::getWindowState() const {
    return m_window_state;
}
Color Config::getWindowBackgroundColor() const {
    return m_window_background_color;
}
int Config::getFrameTime() const {
    return m_frame_time;
}
float Config::getFontScale() const {
    return m_font_scale;
}
std::string Config::getWindowTitle() const {
    return m_window_title;
}
bool Config::getShowMouse() const {
    return m_show_mouse;
}
bool Config::getHeadless() const {
    return m_headless;
}
std::string Config::getFontFile() const {
    return m_font_file;
}
std::string Config::getLogFile() const {
    return m_logfile;
}
int Config::getRandomSeed() const {
    return m_random_seed;
}
bool Config::getNetworking() const {
    return m_networking;
}
int Config::getQuadtreeThreshold() const {
    return m_quadtree_threshold;
}
int Config::getQuadtreeDepth() const {
    return m_quadtree_depth;
}
int Config::getGridWidth() const {
    return m_grid_width;
}
int Config::getGridHeight() const {
    return m_grid_height;
}
bool Config::getSignals() const {
    return m_signals;
}

}  // namespace ox
