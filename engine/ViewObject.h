#pragma once

#include <string>

#include "Color.h"
#include "Object.h"
#include "Vector.h"

namespace ox {

/// The nine standard places of a view object on the screen.
enum ViewObjectLocation : int {
    UNDEFINED_LOCATION = -1,  ///< position set directly
    TOP_LEFT = 0,
    TOP_CENTER,
    TOP_RIGHT,
    CENTER_LEFT,
    CENTER_CENTER,
    CENTER_RIGHT,
    BOTTOM_LEFT,
    BOTTOM_CENTER,
    BOTTOM_RIGHT,
};

/// Modified-mask bit a view object adds above the object's own: the value.
const unsigned int VALUE = 0x40000;
/// Modified-mask bit of the view string, border, colour, location and draw-value flag.
const unsigned int APPEARANCE = 0x80000;

/// Name of a location for log lines ("top-left", ..., "bot-right"); "unknown"
/// for UNDEFINED_LOCATION and any other value.
std::string locationToString(int location);

/// A heads-up item: a label with an optional number, fixed on the screen
/// while the world scrolls. Its position is in view coordinates. It takes
/// "ox-view" events whose tag equals its view string.
class ViewObject : public Object {
public:
    /// Spectral, at the top altitude, type "ViewObject", white, bordered,
    /// showing the value 0, at TOP_CENTER; registered for "ox-view".
    ViewObject();
    ~ViewObject() override;

    /// Places the object at a view position directly; the location becomes
    /// undefined unless the position is unchanged. The object's result.
    int setPosition(Vector new_pos) override;
    /// Takes the value of an "ox-view" event tagged with the view string
    /// (1); other view events are ignored (0); the rest go to Object.
    int eventHandler(const Event* p_e) override;
    /// Draws the text centred at the position, with its border when set.
    /// The sum of the drawing results (0 when all succeed).
    int draw() override;
    /// True: a view object is placed on the screen.
    bool isOnScreen() const override { return true; }
    /// Writes the object's record, then the VALUE group (the value) and the
    /// APPEARANCE group (view string, border, colour, location, draw-value
    /// flag), each when attr names it, or when attr is 0 and it is modified.
    /// The stream check's result.
    int serialize(std::ostream* p_os, unsigned int attr = 0) override;
    /// Reads a record written by serialize and applies it through the
    /// setters, then clears the modified mask; stores the record's mask in
    /// *p_attr when not null. The stream check's result, or -1 at once when
    /// the object's part fails or a length is refused.
    int deserialize(std::istream* p_is, unsigned int* p_attr = nullptr) override;

    /// Moves to one of the nine locations (0 to 8); other values are logged
    /// and ignored.
    virtual void setLocation(int new_location);
    /// Shows or hides the value after the view string.
    virtual void setDrawValue(bool new_draw_value = true);
    /// Sets the value shown.
    virtual void setValue(int new_value);
    /// Draws a box around the text or not; a located object moves by the
    /// border's row.
    virtual void setBorder(bool new_border);
    /// Sets the colour of text and border.
    virtual void setColor(Color new_color);
    /// Sets the label (and the tag of the view events taken).
    virtual void setViewString(std::string new_view_string);

    /// The label.
    std::string getViewString() const { return m_view_string; }
    /// The value shown.
    int getValue() const { return m_value; }
    /// True when a box is drawn around the text.
    bool getBorder() const { return m_border; }
    /// Colour of text and border.
    Color getColor() const { return m_color; }
    /// The location, UNDEFINED_LOCATION once the position was set directly.
    ViewObjectLocation getLocation() const { return m_location; }
    /// True when the value is shown.
    bool getDrawValue() const { return m_draw_value; }

    /// The text drawn: view string and value, padded with spaces when bordered.
    std::string text() const;

private:
    /// Writes the APPEARANCE group.
    void writeAppearance(std::ostream& os) const;
    /// Reads the APPEARANCE group and applies what arrived whole; -1 when
    /// the view string's length is refused.
    int readAppearance(std::istream& is);

    /// Sets modified-mask bits.
    void markModified(unsigned int attributes) { setModified(getModified() | attributes); }

    std::string m_view_string;
    int m_value;
    bool m_draw_value;
    bool m_border;
    Color m_color;
    ViewObjectLocation m_location;
};

}  // namespace ox
