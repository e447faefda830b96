#pragma once

#include <string>

#include "Color.h"
#include "Vector.h"

namespace ox {

/// One picture of a sprite: a rectangle of characters, the rows concatenated
/// from top to bottom. A default frame is empty and draws nothing.
class Frame {
public:
    /// An empty frame: width 0, height 0, no characters.
    Frame();

    /// A frame of the given size holding the rows concatenated in frame_str.
    Frame(int new_width, int new_height, std::string frame_str);

    /// Columns of the frame.
    int getWidth() const { return m_width; }
    /// Sets the number of columns.
    void setWidth(int new_width) { m_width = new_width; }
    /// Rows of the frame.
    int getHeight() const { return m_height; }
    /// Sets the number of rows.
    void setHeight(int new_height) { m_height = new_height; }
    /// The characters, row after row.
    std::string getString() const { return m_frame_str; }
    /// Replaces the characters.
    void setString(std::string new_frame_str) { m_frame_str = std::move(new_frame_str); }

    /// Draws the frame centred on position in the given colour, skipping cells
    /// that hold the transparent character (0 for none), mirrored as transform
    /// says (0 none, 1 rows reversed, 2 columns reversed, 3 both).
    /// Returns 0, or -1 when a character could not be drawn.
    int draw(Vector position, Color color, char transparent, int transform) const;

private:
    int m_width;
    int m_height;
    std::string m_frame_str;
};

}  // namespace ox
