#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <memory>
#include <string>

#include "CellBatch.h"
#include "Color.h"
#include "Manager.h"
#include "Vector.h"

namespace ox {

/// How drawString places a string relative to its position.
enum Justification {
    LEFT_JUSTIFIED = 0,
    CENTER_JUSTIFIED = 1,
    RIGHT_JUSTIFIED = 2,
};

/// Width of one character cell in pixels (window pixels / window characters).
float charWidth();

/// Height of one character cell in pixels (window pixels / window characters).
float charHeight();

/// The renderer: one window drawn as a grid of character cells, each character
/// a background-coloured cell with a bold glyph on top. Without a window in
/// headless mode.
///
/// Characters are not drawn one by one: drawCh adds the cell to a batch, which
/// goes to the window in one draw call before anything else is drawn into it
/// (getWindow) and before the frame is shown (swapBuffers).
///
/// Objects draw in their draw(), at world positions in cells; the view's corner
/// is taken off, so what is outside the view is not seen:
/// \code
/// ox::DisplayManager& display = ox::DisplayManager::getInstance();
/// display.drawCh(getPosition(), '@', ox::YELLOW, 0);
/// display.drawString(ox::Vector(40, 0), "Paused", ox::CENTER_JUSTIFIED, ox::WHITE);
/// \endcode
class DisplayManager : public Manager {
public:
    /// The single instance, created on first use.
    static DisplayManager& getInstance();
    ~DisplayManager() override;
    DisplayManager(const DisplayManager&) = delete;
    DisplayManager& operator=(const DisplayManager&) = delete;

    /// Opens the window of the configured size with its font, cell rectangle
    /// and text. Returns 0, or -1 on failure.
    int startUp() override;

    /// Closes the window and releases the drawing objects.
    void shutDown() override;

    /// Draws ch at a world position in the given colour, rotated by rotation
    /// degrees. Returns 0, or -1 when not started, headless or without a window.
    int drawCh(Vector world_pos, char ch, unsigned char red, unsigned char green,
               unsigned char blue, float rotation);

    /// Draws ch at a world position in a table colour. Returns as the RGB form.
    int drawCh(Vector world_pos, char ch, Color color, float rotation);

    /// Draws a string on one row, placed by just. Returns 0, or -1 when not
    /// started or headless.
    int drawString(Vector world_pos, std::string str, Justification just, Color color);

    /// Shows what was drawn and clears the window to the background colour.
    /// Returns 0, or -1 when not started, headless or without a window.
    int swapBuffers();

    /// Cells to pixels: (x * charWidth(), y * charHeight()).
    Vector spacesToPixels(Vector spaces) const;

    /// Pixels to cells: (x / charWidth(), y / charHeight()).
    Vector pixelsToSpaces(Vector pixels) const;

    /// Window width in cells.
    int getHorizontal() const { return m_window_horizontal_chars; }
    /// Window height in cells.
    int getVertical() const { return m_window_vertical_chars; }
    /// Window width in pixels.
    int getHorizontalPixels() const { return m_window_horizontal_pixels; }
    /// Window height in pixels.
    int getVerticalPixels() const { return m_window_vertical_pixels; }

    /// The window, null when headless or not started. The characters drawn so
    /// far are put into the window first, so that what the caller draws into
    /// it lands on top of them.
    sf::RenderWindow* getWindow();

    /// The window for its events, keyboard and mouse, which nothing can draw
    /// into; null when headless or not started.
    sf::WindowBase* getInputWindow() const { return m_p_window.get(); }

private:
    DisplayManager();

    // The parts of start-up after the headless test; each returns 0 or -1.
    int openWindow();
    int openFont();
    int makeDrawingObjects();
    /// Closes and releases the window, when there is one.
    void closeWindow();

    /// Where one glyph's quad lies relative to its pen position, and where its
    /// pixels lie in the font's texture; none for a character without pixels.
    struct CellGlyph {
        bool ready = false;     ///< Looked up in the font.
        bool visible = false;   ///< Has a quad to draw.
        sf::FloatRect bounds;   ///< Quad corners relative to the pen.
        sf::FloatRect texture;  ///< Quad corners in the font's texture.
    };

    /// The glyph of ch at the text's size, looked up once per character.
    const CellGlyph& cellGlyph(char ch);

    /// Draws the batch of cells into the window and empties it.
    void flushCells();

    std::unique_ptr<sf::RenderWindow> m_p_window;  ///< Null when headless or not started.
    sf::Font m_font;
    int m_window_horizontal_pixels;
    int m_window_vertical_pixels;
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
    std::unique_ptr<sf::RectangleShape> m_p_rectangle;
    sf::Color m_window_background_color;
    std::unique_ptr<sf::Text> m_p_text;
    CellBatch m_cells;                         ///< Cells drawn and not yet in the window.
    bool m_window_clear;                       ///< Nothing but the clear colour in the window.
    std::array<CellGlyph, 256> m_cell_glyphs;  ///< By character, as an unsigned byte.
};

}  // namespace ox
