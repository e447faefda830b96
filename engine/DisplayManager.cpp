#include "DisplayManager.h"

#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <locale>
#include <new>

#include "Config.h"
#include "LogManager.h"
#include "Platform.h"
#include "utility.h"

namespace ox {

namespace {

bool isHeadless() {
    return Config::getInstance().getHeadless();
}

// The glyph size: font_scale times the smaller cell side, truncated. Kept in
// a range an integer holds, whatever the configured scale.
unsigned glyphSize(float font_scale) {
    const float smaller = charWidth() < charHeight() ? charWidth() : charHeight();
    const float size = font_scale * smaller;
    if (!(size >= 0.0f)) {
        return 0;
    }
    return size > 65535.0f ? 65535u : static_cast<unsigned>(static_cast<int>(size));
}

}  // namespace

float charWidth() {
    const DisplayManager& display = DisplayManager::getInstance();
    return static_cast<float>(display.getHorizontalPixels()) /
           static_cast<float>(display.getHorizontal());
}

float charHeight() {
    const DisplayManager& display = DisplayManager::getInstance();
    return static_cast<float>(display.getVerticalPixels()) /
           static_cast<float>(display.getVertical());
}

DisplayManager::DisplayManager()
    : m_window_horizontal_pixels(0),
      m_window_vertical_pixels(0),
      m_window_horizontal_chars(0),
      m_window_vertical_chars(0),
      m_window_background_color(sf::Color::Black),
      m_window_clear(false) {
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    const Config& config = Config::getInstance();
    m_window_horizontal_pixels = config.getWindowHorizontalPixels();
    m_window_vertical_pixels = config.getWindowVerticalPixels();
    m_window_horizontal_chars = config.getWindowHorizontalChars();
    m_window_vertical_chars = config.getWindowVerticalChars();

    // Cell sizes divide by the character counts; a window without cells has none.
    if (m_window_horizontal_chars < 1 || m_window_vertical_chars < 1) {
        log.writeLog("DisplayManager::startUp(): Error! Window of %d x %d characters has no cells.",
                     m_window_horizontal_chars, m_window_vertical_chars);
        return -1;
    }
    if (config.getHeadless()) {
        log.writeLog(1, "DisplayManager::startUp(): no graphics in headless mode.");
    } else if (openWindow() != 0 || openFont() != 0 || makeDrawingObjects() != 0) {
        return -1;
    }
    Manager::startUp();
    log.writeLog(5, "DisplayManager::startUp(): successfully started.");
    return 0;
}

int DisplayManager::openWindow() {
    LogManager& log = LogManager::getInstance();
    const Config& config = Config::getInstance();
    if (!platform::hasDisplay()) {
        log.writeLog("DisplayManager::startUp(): Error! No display to open a window on.");
        return -1;
    }
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    log.writeLog(5, "DisplayManager::startUp(): window resolution (%d, %d) pixels.",
                 static_cast<int>(desktop.size.x), static_cast<int>(desktop.size.y));
    if (m_window_horizontal_pixels == 0) {
        m_window_horizontal_pixels = static_cast<int>(desktop.size.x);
    }
    if (m_window_vertical_pixels == 0) {
        m_window_vertical_pixels = static_cast<int>(desktop.size.y);
    }

    // A window left open by an earlier start-up that failed later is replaced.
    closeWindow();
    // A negative configured size would wrap to an enormous unsigned window size.
    if (m_window_horizontal_pixels > 0 && m_window_vertical_pixels > 0) {
        const sf::VideoMode mode(sf::Vector2u(static_cast<unsigned>(m_window_horizontal_pixels),
                                              static_cast<unsigned>(m_window_vertical_pixels)),
                                 32);
        const sf::State state =
            config.getWindowState() == 1 ? sf::State::Fullscreen : sf::State::Windowed;
        m_p_window.reset(new (std::nothrow) sf::RenderWindow(
            mode, sf::String(config.getWindowTitle(), std::locale()),
            static_cast<std::uint32_t>(config.getWindowStyle()), state));
    }
    if (m_p_window == nullptr || !m_p_window->isOpen()) {
        m_p_window.reset();
        log.writeLog("DisplayManager::startUp(): Unable to allocate window!");
        return -1;
    }
    m_p_window->setMouseCursorVisible(config.getShowMouse());
    m_p_window->setVerticalSyncEnabled(true);
    return 0;
}

int DisplayManager::openFont() {
    const std::string font_file = Config::getInstance().getFontFile();
    if (!m_font.openFromFile(font_file)) {
        LogManager::getInstance().writeLog(
            "DisplayManager::startUp(): Error! Unable to open font from file '%s'.",
            font_file.c_str());
        return -1;
    }
    return 0;
}

int DisplayManager::makeDrawingObjects() {
    LogManager& log = LogManager::getInstance();
    const Config& config = Config::getInstance();
    m_p_rectangle.reset(new (std::nothrow)
                            sf::RectangleShape(sf::Vector2f(charWidth(), charHeight())));
    if (m_p_rectangle == nullptr) {
        log.writeLog("DisplayManager::startUp(): Error! Unable to allocate rectangle.");
        return -1;
    }
    m_p_text.reset(new (std::nothrow) sf::Text(m_font, "", 30));
    if (m_p_text == nullptr) {
        log.writeLog("DisplayManager::startUp(): Error! Unable to allocate text.");
        return -1;
    }
    m_p_text->setFont(m_font);
    m_p_text->setStyle(sf::Text::Bold);
    m_p_text->setCharacterSize(glyphSize(config.getFontScale()));
    m_cell_glyphs = {};
    m_cells.clear();
    m_window_clear = false;

    m_window_background_color = colorToSFML(config.getWindowBackgroundColor());
    m_p_rectangle->setFillColor(m_window_background_color);
    return 0;
}

void DisplayManager::closeWindow() {
    if (m_p_window != nullptr) {
        m_p_window->close();
        m_p_window.reset();
    }
}

void DisplayManager::shutDown() {
    m_cells.clear();
    closeWindow();
    m_p_text.reset();
    m_p_rectangle.reset();
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "DisplayManager::shutDown(): successfully stopped.");
}

int DisplayManager::drawCh(Vector world_pos, char ch, unsigned char red, unsigned char green,
                           unsigned char blue, float rotation) {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (isHeadless() || m_p_window == nullptr) {
        return -1;
    }
    const Vector view = worldToView(world_pos);
    const Vector pixel = spacesToPixels(view);
    const float cell_width = charWidth();
    const float cell_height = charHeight();

    // The cell behind the glyph is painted in the background colour first,
    // a tenth of a cell left and a fifth of a cell down.
    CellBatch::Cell cell;
    cell.background_corner =
        sf::Vector2f(pixel.getX() - cell_width / 10, pixel.getY() + cell_height / 5);
    cell.background_size = m_p_rectangle->getSize();
    cell.background = m_p_rectangle->getFillColor();
    cell.pen = sf::Vector2f(pixel.getX(), pixel.getY());
    const CellGlyph& glyph = cellGlyph(ch);
    cell.has_glyph = glyph.visible;
    cell.glyph_bounds = glyph.bounds;
    cell.glyph_texture = glyph.texture;
    cell.color = sf::Color(red, green, blue, 255);
    cell.rotation = rotation;
    m_cells.add(cell);
    return 0;
}

const DisplayManager::CellGlyph& DisplayManager::cellGlyph(char ch) {
    CellGlyph& cell = m_cell_glyphs[static_cast<unsigned char>(ch)];
    if (cell.ready) {
        return cell;
    }
    // The text lays the character out once; its glyph and pen position are
    // kept, with the one pixel of padding a text puts around each glyph.
    cell.ready = true;
    m_p_text->setString(sf::String(ch));
    const std::vector<sf::Text::ShapedGlyph>& shaped = m_p_text->getShapedGlyphs();
    if (shaped.size() != 1 || shaped[0].vertexCount == 0) {
        return cell;  // whitespace: nothing to draw
    }
    const sf::Glyph& glyph = shaped[0].glyph;
    const sf::Vector2f padding(1, 1);
    cell.visible = true;
    cell.bounds = sf::FloatRect(shaped[0].position + glyph.bounds.position - padding,
                                glyph.bounds.size + 2.0f * padding);
    cell.texture = sf::FloatRect(sf::Vector2f(glyph.textureRect.position) - padding,
                                 sf::Vector2f(glyph.textureRect.size) + 2.0f * padding);
    return cell;
}

void DisplayManager::flushCells() {
    if (m_cells.empty() || m_p_window == nullptr) {
        return;
    }
    // The texture is taken now, not when the cells were added: a glyph met
    // for the first time may have grown it since. Right after the window was
    // cleared, it holds only the colour the cells' backgrounds have.
    const sf::Texture& texture = m_font.getTexture(m_p_text->getCharacterSize());
    m_cells.draw(*m_p_window, texture,
                 m_window_clear && m_p_rectangle->getFillColor() == m_window_background_color);
}

sf::RenderWindow* DisplayManager::getWindow() {
    flushCells();
    m_window_clear = false;  // the caller may draw into it
    return m_p_window.get();
}

int DisplayManager::drawCh(Vector world_pos, char ch, Color color, float rotation) {
    if (isHeadless()) {
        return -1;
    }
    // A CUSTOM colour has no bytes of its own; it draws white.
    unsigned char red = 255;
    unsigned char green = 255;
    unsigned char blue = 255;
    colorToRGB(color, red, green, blue);
    return drawCh(world_pos, ch, red, green, blue, rotation);
}

int DisplayManager::drawString(Vector world_pos, std::string str, Justification just, Color color) {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (isHeadless()) {
        return -1;
    }
    const int length = static_cast<int>(str.size());
    Vector start = world_pos;
    if (just == CENTER_JUSTIFIED) {
        start.setX(start.getX() - static_cast<float>(length / 2));
    } else if (just == RIGHT_JUSTIFIED) {
        start.setX(start.getX() - static_cast<float>(length));
    }
    for (int i = 0; i < length; i++) {
        drawCh(Vector(start.getX() + i, start.getY()), str[i], color, 0);
    }
    return 0;
}

int DisplayManager::swapBuffers() {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (isHeadless() || m_p_window == nullptr) {
        return -1;
    }
    flushCells();
    m_p_window->display();
    m_p_window->clear(m_window_background_color);
    m_window_clear = true;
    return 0;
}

Vector DisplayManager::spacesToPixels(Vector spaces) const {
    const Vector pixels(spaces.getX() * charWidth(), spaces.getY() * charHeight());
    LogManager::getInstance().writeLog(
        30, "spacesToPixels(int): spaces (%.2f,%.2f) = pixels (%.2f,%.2f)", spaces.getX(),
        spaces.getY(), pixels.getX(), pixels.getY());
    return pixels;
}

Vector DisplayManager::pixelsToSpaces(Vector pixels) const {
    const Vector spaces(pixels.getX() / charWidth(), pixels.getY() / charHeight());
    LogManager::getInstance().writeLog(30,
                                       "pixelsToSpaces(): pixels (%.2f,%.2f) = spaces (%.2f,%.2f)",
                                       pixels.getX(), pixels.getY(), spaces.getX(), spaces.getY());
    return spaces;
}

}  // namespace ox
