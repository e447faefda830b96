#pragma once

#include <iosfwd>
#include <string>

#include "Box.h"
#include "Sprite.h"
#include "Vector.h"

namespace ox {

/// One object's playback state over a shared sprite: the frame shown, how
/// long it has been shown and how it is mirrored. Never owns the sprite.
class Animation {
public:
    /// No sprite, index 0, slowdown count 0, empty name, transform 0, modified.
    Animation();

    /// Shows p_new_sprite (null allowed) from its first frame; remembers its label.
    void setSprite(Sprite* p_new_sprite);
    /// The sprite shown, null when none.
    Sprite* getSprite() const { return m_p_sprite; }

    /// Sets the frame shown.
    void setIndex(int new_index);
    /// The frame shown now.
    int getIndex() const { return m_index; }

    /// Sets the draws done on the current frame; -1 freezes the animation.
    void setSlowdownCount(int new_slowdown_count);
    /// Draws done on the current frame (-1 when frozen).
    int getSlowdownCount() const { return m_slowdown_count; }

    /// The label of the sprite, kept so the sprite can be found again.
    std::string getName() const { return m_name; }

    /// Sets the mirroring mode (0 none, 1 rows reversed, 2 columns reversed, 3 both).
    void setTransform(int new_transform);
    /// The mirroring mode.
    int getTransform() const { return m_transform; }

    /// True when a field changed since the flag was last cleared.
    bool isModified() const { return m_modified; }
    /// Sets or clears the modified flag (serialization clears it).
    void setModified(bool new_modified) { m_modified = new_modified; }

    /// Draws the current frame at position, then advances the animation by
    /// the sprite's slowdown unless frozen. Returns the draw's result.
    int draw(Vector position);

    /// The sprite's box relative to the object's position, centred; a 0.99
    /// square around the position without a sprite.
    Box getBox() const;

    /// "sprite NAME, frame_idx I, slowdown_count C, transform NAME".
    std::string toString() const;

    /// Writes the sprite's name (64-bit length and bytes), the frame index,
    /// the slowdown count and the transform; the stream check's result.
    int serialize(std::ostream* p_os) const;
    /// Reads name, frame index, slowdown count and transform; the sprite
    /// pointer is left as it was, and everything is kept when the stream ends
    /// first. A name longer than MAX_SPRITE_NAME_BYTES is refused (-1, stream
    /// failed). The stream check's result.
    int deserialize(std::istream* p_is);

private:
    Sprite* m_p_sprite;
    int m_index;
    int m_slowdown_count;
    std::string m_name;
    int m_transform;
    bool m_modified;
};

}  // namespace ox
