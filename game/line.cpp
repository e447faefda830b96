#include "line.h"

#include "DisplayManager.h"

line::line() {
    setSprite("line");
    setType("Line");
    const ox::DisplayManager& display = ox::DisplayManager::getInstance();
    const int x = display.getHorizontal() / 2;
    const int y = display.getVertical() / 2 + 5;
    setPosition(ox::Vector(static_cast<float>(x), static_cast<float>(y)));
    setSolidness(ox::SPECTRAL);
}
