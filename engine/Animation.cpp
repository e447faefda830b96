#include "Animation.h"

#include <istream>
#include <ostream>
#include <utility>

#include "serialization.h"
#include "utility.h"

namespace ox {

Animation::Animation()
    : m_p_sprite(nullptr), m_index(0), m_slowdown_count(0), m_transform(0), m_modified(true) {}

void Animation::setSprite(Sprite* p_new_sprite) {
    if (p_new_sprite != nullptr && p_new_sprite->getLabel() != m_name) {
        m_name = p_new_sprite->getLabel();
    }
    m_p_sprite = p_new_sprite;
    m_index = 0;
    m_slowdown_count = 0;
    m_modified = true;
}

void Animation::setIndex(int new_index) {
    if (new_index != m_index) {
        m_index = new_index;
        m_modified = true;
    }
}

void Animation::setSlowdownCount(int new_slowdown_count) {
    if (new_slowdown_count != m_slowdown_count) {
        m_slowdown_count = new_slowdown_count;
        m_modified = true;
    }
}

void Animation::setTransform(int new_transform) {
    if (new_transform != m_transform) {
        m_transform = new_transform;
        m_modified = true;
    }
}

int Animation::draw(Vector position) {
    if (m_p_sprite == nullptr) {
        return 0;
    }
    const int result =
        m_p_sprite->draw(m_index, position, m_p_sprite->getTransparency(), m_transform);
    if (m_slowdown_count == -1) {
        return result;
    }
    m_modified = true;
    // Counted in 64 bits: a count or index taken from a record may sit at the
    // top of the integer range, and stepping past it must wrap to 0, not overflow.
    const long long next_count = static_cast<long long>(m_slowdown_count) + 1;
    if (next_count < m_p_sprite->getSlowdown()) {
        m_slowdown_count = static_cast<int>(next_count);
        return result;
    }
    m_slowdown_count = 0;
    const long long next_index = static_cast<long long>(m_index) + 1;
    m_index = next_index < m_p_sprite->getFrameCount() ? static_cast<int>(next_index) : 0;
    return result;
}

Box Animation::getBox() const {
    if (m_p_sprite == nullptr) {
        return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    }
    const float width = static_cast<float>(m_p_sprite->getWidth());
    const float height = static_cast<float>(m_p_sprite->getHeight());
    return Box(Vector(-width * 0.5f, -height * 0.5f), width, height);
}

std::string Animation::toString() const {
    return "sprite " + m_name + ", frame_idx " + ox::toString(m_index) + ", slowdown_count " +
           ox::toString(m_slowdown_count) + ", transform " + transformToString(m_transform);
}

int Animation::serialize(std::ostream* p_os) const {
    const char* name = "Animation::serialize()";
    if (streamMissing(p_os, name)) {
        return -1;
    }
    writeString(*p_os, m_name);
    writeInt32(*p_os, m_index);
    writeInt32(*p_os, m_slowdown_count);
    writeInt32(*p_os, m_transform);
    return checkStream(name, *p_os);
}

int Animation::deserialize(std::istream* p_is) {
    const char* name = "Animation::deserialize()";
    if (streamMissing(p_is, name)) {
        return -1;
    }
    std::uint64_t length = 0;
    if (!readUint64(*p_is, length)) {
        return checkStream(name, *p_is);
    }
    if (length > MAX_SPRITE_NAME_BYTES) {
        return refuseLength(*p_is, name, length);
    }
    std::string sprite_name;
    std::int32_t index = 0;
    std::int32_t slowdown_count = 0;
    std::int32_t transform = 0;
    if (readBytes(*p_is, length, sprite_name) && readInt32(*p_is, index) &&
        readInt32(*p_is, slowdown_count) && readInt32(*p_is, transform)) {
        m_name = std::move(sprite_name);
        m_index = index;
        m_slowdown_count = slowdown_count;
        m_transform = transform;
        m_modified = true;
    }
    return checkStream(name, *p_is);
}

}  // namespace ox
