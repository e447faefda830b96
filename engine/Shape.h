#pragma once

#include <iosfwd>
#include <string>

#include "Color.h"
#include "Vector.h"

namespace ox {

/// The primitives a shape can be; UNDEFINED_SHAPE draws nothing.
enum ShapeType : int {
    UNDEFINED_SHAPE = -1,
    CIRCLE = 0,
    SQUARE = 1,
    TRIANGLE = 2,
};

/// One filled primitive drawn straight into the window in pixels, centred near
/// a world position, in a table colour with an alpha. Every shape of the
/// program is drawn through one shared polygon, so drawing allocates nothing.
class Shape {
public:
    /// A white, opaque circle of font_scale times the smaller whole cell side.
    Shape();

    /// The primitive drawn.
    ShapeType getType() const { return m_type; }
    /// Accepts -1 to 2; any other value is logged and ignored.
    void setType(int new_type);
    /// Size in pixels.
    float getSize() const { return m_size; }
    /// Sets the size in pixels.
    void setSize(float new_size) { m_size = new_size; }
    /// The fill colour; CUSTOM keeps the red, green and blue last used.
    Color getColor() const { return m_color; }
    /// Sets the fill colour.
    void setColor(Color new_color) { m_color = new_color; }
    /// Opacity of the fill, 255 opaque.
    unsigned char getAlpha() const { return m_alpha; }
    /// Sets the opacity of the fill.
    void setAlpha(unsigned char new_alpha) { m_alpha = new_alpha; }

    /// Draws the shape at a world position. 0, or -1 (logged) without a window.
    int draw(Vector world_pos);

    /// "TYPE, size SIZE, COLOUR, ALPHA", e.g. "circle, size 10.000000, White, 255".
    std::string toString() const;

    /// Writes type, size, colour and alpha (13 bytes); the stream check's result.
    int serialize(std::ostream* p_os) const;
    /// Reads type, size, colour and alpha; the shape is kept when the stream
    /// ends first, and an unknown type is logged and ignored. The stream
    /// check's result.
    int deserialize(std::istream* p_is);

    /// Name of a shape type: "undefined", "circle", "square", "triangle";
    /// "unknown" for any other value.
    static std::string typeToString(int type);

private:
    Color m_color;
    unsigned char m_red;
    unsigned char m_green;
    unsigned char m_blue;
    ShapeType m_type;
    float m_size;
    unsigned char m_alpha;
};

}  // namespace ox
