#include "Out.h"

#include "Box.h"
#include "DisplayManager.h"
#include "Lanes.h"

Out::Out() {
    setType("out");
    setSolidness(ox::SOFT);
    const ox::DisplayManager& display = ox::DisplayManager::getInstance();
    const int top = display.getVertical() / 2 + lanes::OUT_ROW;
    setBox(ox::Box(ox::Vector(0.0f, static_cast<float>(top)),
                   static_cast<float>(display.getHorizontal()), 2.0f));
}
