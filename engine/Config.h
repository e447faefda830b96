#pragma once

#include <string>

#include "Color.h"

namespace ox {

/// Default name of the configuration file.
inline const std::string CONFIG_FILENAME = "ox-config.txt";

/// The engine's settings, read once at start-up from an optional file of
/// key:value items; every setting has a built-in default.
class Config {
public:
    /// The one instance, created on first use with the defaults.
    static Config& getInstance();

    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    /// Sets the settings from the text, or from the configuration file when
    /// the text is empty. Values that cannot be used keep the current setting.
    void loadConfig(std::string config_text);

    /// The configuration file's lines joined into one text (comments and empty
    /// lines skipped); empty when the file cannot be opened.
    std::string readConfig();

    /// Writes the configuration block to the log at level 1.
    void logConfig();

    /// Window width in pixels.
    int getWindowHorizontalPixels() const;
    /// Window height in pixels.
    int getWindowVerticalPixels() const;
    /// Window width in character cells.
    int getWindowHorizontalChars() const;
    /// Window height in character cells.
    int getWindowVerticalChars() const;
    /// Window style bits (0 for none).
    int getWindowStyle() const;
    /// Window state: 0 default, 1 fullscreen.
    int getWindowState() const;
    /// Window background colour.
    Color getWindowBackgroundColor() const;
    /// Target duration of one game loop step, in milliseconds.
    int getFrameTime() const;
    /// Character size relative to the cell.
    float getFontScale() const;
    /// Window title.
    std::string getWindowTitle() const;
    /// True when the mouse cursor is shown.
    bool getShowMouse() const;
    /// True when the engine runs without a window.
    bool getHeadless() const;
    /// TrueType font file name.
    std::string getFontFile() const;
    /// Log file name.
    std::string getLogFile() const;
    /// Random seed: 0 seeds from the clock, -1 leaves the generator unseeded.
    int getRandomSeed() const;
    /// True when the network manager runs.
    bool getNetworking() const;
    /// Quadtree split threshold (stored only).
    int getQuadtreeThreshold() const;
    /// Quadtree depth (stored only).
    int getQuadtreeDepth() const;
    /// Collision grid width in buckets.
    int getGridWidth() const;
    /// Collision grid height in buckets.
    int getGridHeight() const;
    /// Signal handling flag (stored only).
    bool getSignals() const;

private:
    Config();

    /// Applies the validated settings (colour, style, state) when their values are usable.
    void applyWindowColor(const std::string& value);
    void applyWindowStyle(const std::string& value);
    void applyWindowState(const std::string& value);

    std::string m_config_text;
    int m_window_horizontal_pixels;
    int m_window_vertical_pixels;
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
    int m_window_style;
    int m_window_state;
    Color m_window_background_color;
    int m_frame_time;
    float m_font_scale;
    std::string m_window_title;
    bool m_show_mouse;
    bool m_headless;
    std::string m_font_file;
    std::string m_logfile;
    int m_random_seed;
    bool m_networking;
    int m_quadtree_threshold;
    int m_quadtree_depth;
    int m_grid_width;
    int m_grid_height;
    bool m_signals;
};

}  // namespace ox
