#pragma once

// What the two splash objects share; internal to the engine, not installed.

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "../Color.h"

namespace ox {

class Event;
class Object;
class Sprite;

/// A sprite built in code: every frame is given as its rows, each padded with
/// spaces on the right to the width (or cut to it). An empty label leaves the
/// sprite's default one, as does the slowdown.
std::unique_ptr<Sprite> buildSprite(int width, int height, Color color, const std::string& label,
                                    std::initializer_list<std::vector<std::string>> frames);

/// The ending shared by the splash objects. When the game is over, marks the
/// object for deletion and gives 0; for a key, also sets game over and gives
/// key_result. -1 when the object carries on with the event.
int endSplashObject(Object* p_o, const Event* p_e, int key_result);

}  // namespace ox
