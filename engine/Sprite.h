#pragma once

#include <memory>
#include <string>

#include "Color.h"
#include "Frame.h"
#include "Vector.h"

namespace ox {

/// A labelled, coloured sequence of frames with a playback speed and an
/// optional transparent character. Shared by every object that shows it.
class Sprite {
public:
    /// A sprite with room for max_frames frames, white, slowdown 1, no
    /// transparency, size 0 x 0, label "[Undefined]". When the frames cannot
    /// be allocated the capacity is 0 and a line is logged.
    explicit Sprite(int max_frames);
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    /// Width of every frame in cells.
    int getWidth() const { return m_width; }
    /// Sets the width of the frames.
    void setWidth(int new_width) { m_width = new_width; }
    /// Height of every frame in cells.
    int getHeight() const { return m_height; }
    /// Sets the height of the frames.
    void setHeight(int new_height) { m_height = new_height; }
    /// Colour every frame is drawn in.
    Color getColor() const { return m_color; }
    /// Sets the colour of the sprite.
    void setColor(Color new_color) { m_color = new_color; }
    /// Number of draws each frame stays on screen.
    int getSlowdown() const { return m_slowdown; }
    /// Sets the number of draws per frame.
    void setSlowdown(int new_slowdown) { m_slowdown = new_slowdown; }
    /// The transparent character, 0 for none.
    char getTransparency() const { return m_transparency; }
    /// Sets the transparent character (0 for none).
    void setTransparency(char new_transparency) { m_transparency = new_transparency; }
    /// The label objects and the resource manager find the sprite by.
    std::string getLabel() const { return m_label; }
    /// Sets the label.
    void setLabel(std::string new_label) { m_label = std::move(new_label); }
    /// Frames added so far.
    int getFrameCount() const { return m_frame_count; }
    /// The capacity fixed at construction.
    int getMaxFrameCount() const { return m_max_frame_count; }

    /// Copies a frame into the next slot. Returns 0, or -1 when the sprite is full.
    int addFrame(Frame new_frame);

    /// A copy of frame frame_number, or the empty frame when out of range.
    Frame getFrame(int frame_number) const;

    /// Draws frame frame_number centred on position in the sprite's colour.
    /// An out-of-range frame draws nothing and returns 0.
    int draw(int frame_number, Vector position, char transparent, int transform) const;

private:
    int m_width;
    int m_height;
    int m_max_frame_count;
    int m_frame_count;
    Color m_color;
    int m_slowdown;
    char m_transparency;
    std::unique_ptr<Frame[]> m_frame;
    std::string m_label;
};

}  // namespace ox
