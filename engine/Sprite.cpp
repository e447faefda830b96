#include "Sprite.h"

#include <new>

#include "LogManager.h"

namespace ox {

Sprite::Sprite(int max_frames)
    : m_width(0),
      m_height(0),
      m_max_frame_count(0),
      m_frame_count(0),
      m_color(WHITE),
      m_slowdown(1),
      m_transparency(0),
      m_label("[Undefined]") {
    if (max_frames >= 0) {
        m_frame.reset(new (std::nothrow) Frame[max_frames]);
    }
    if (m_frame == nullptr) {
        LogManager::getInstance().writeLog("Sprite::Sprite(): Error! Unable to allocate %d frames.",
                                           max_frames);
        return;
    }
    m_max_frame_count = max_frames;
}

Sprite::~Sprite() = default;

int Sprite::addFrame(Frame new_frame) {
    if (m_frame_count == m_max_frame_count) {
        return -1;
    }
    m_frame[m_frame_count] = std::move(new_frame);
    m_frame_count++;
    return 0;
}

Frame Sprite::getFrame(int frame_number) const {
    if (frame_number < 0 || frame_number >= m_frame_count) {
        return Frame();
    }
    return m_frame[frame_number];
}

int Sprite::draw(int frame_number, Vector position, char transparent, int transform) const {
    return getFrame(frame_number).draw(position, m_color, transparent, transform);
}

}  // namespace ox
