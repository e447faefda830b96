#include "Frame.h"

#include "DisplayManager.h"
#include "LogManager.h"

namespace ox {

Frame::Frame() : m_width(0), m_height(0) {}

Frame::Frame(int new_width, int new_height, std::string frame_str)
    : m_width(new_width), m_height(new_height), m_frame_str(std::move(frame_str)) {}

int Frame::draw(Vector position, Color color, char transparent, int transform) const {
    if (m_frame_str.empty() || m_height < 1) {
        return 0;
    }
    // A frame built by hand may claim more cells than its string holds; reading
    // past the string would draw garbage or crash, so such a frame is refused.
    const long long cells = static_cast<long long>(m_width) * m_height;
    if (m_width < 1 || cells > static_cast<long long>(m_frame_str.size())) {
        LogManager::getInstance().writeLog(
            "Frame::draw(): Error! Frame of %d x %d needs %lld characters, has %d.", m_width,
            m_height, cells, static_cast<int>(m_frame_str.size()));
        return -1;
    }

    const bool mirror_columns = transform == 2 || transform == 3;
    const bool mirror_rows = transform == 1 || transform == 3;
    const int column_start = mirror_columns ? m_width - 1 : 0;
    const int column_step = mirror_columns ? -1 : 1;
    const int row_start = mirror_rows ? m_height - 1 : 0;
    const int row_step = mirror_rows ? -1 : 1;

    // Centred on position: even sizes fall on half cells.
    const float half_width = (m_width - 1) * 0.5f;
    const float half_height = (m_height - 1) * 0.5f;

    DisplayManager& display = DisplayManager::getInstance();
    int row = row_start;
    for (int y = 0; y < m_height; y++, row += row_step) {
        int column = column_start;
        for (int x = 0; x < m_width; x++, column += column_step) {
            const char ch = m_frame_str[static_cast<std::size_t>(column) +
                                        static_cast<std::size_t>(m_width) * row];
            if (transparent != 0 && ch == transparent) {
                continue;
            }
            if (display.drawCh(
                    Vector(position.getX() + x - half_width, position.getY() + y - half_height), ch,
                    color, 0) != 0) {
                return -1;
            }
        }
    }
    return 0;
}

}  // namespace ox
