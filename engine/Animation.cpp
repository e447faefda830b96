#include "Animation.h"

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
    m_slowdown_count++;
    m_modified = true;
    if (m_slowdown_count < m_p_sprite->getSlowdown()) {
        return result;
    }
    m_slowdown_count = 0;
    m_index++;
    if (m_index >= m_p_sprite->getFrameCount()) {
        m_index = 0;
    }
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

}  // namespace ox
