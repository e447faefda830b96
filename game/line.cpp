#include "line.h"

#include "DisplayManager.h"
#include "Lanes.h"

line::line() {
    setSprite("line");
    setType("Line");
    const ox::DisplayManager& display = ox::DisplayManager::getInstance();
    const int x = display.getHorizontal() / 2;
    const int y = display.getVertical() / 2 + lanes::HIT_LINE_ROW;
    setPosition(ox::Vector(static_cast<float>(x), static_cast<float>(y)));
    setSolidness(ox::SPECTRAL);
}
