#pragma once

#include <cstdint>
#include <ios>
#include <string>

#include "Vector.h"

namespace ox {

/// Parses the text (when not empty) into a kept table of key:value items
/// separated by commas, white space removed, then returns the value of the
/// first item whose key equals the key, or an empty string.
std::string match(std::string text, std::string key);

/// The local time of day as "hh:mm:ss" in a static buffer every call
/// overwrites; "(time error)" when the time cannot be read.
const char* timeString();

/// True when min <= value <= max (a NaN value is never in range).
bool inRange(float value, float min, float max);

/// A world position as a view position: minus the corner of the world manager's view.
Vector worldToView(Vector world_pos);

/// A view position as a world position: plus the corner of the world manager's view.
Vector viewToWorld(Vector view_pos);

/// The decimal form of an integer.
std::string toString(int i);

/// The default stream form of a float: up to six significant digits, no trailing zeros.
std::string toString(float f);

/// "true" or "false", as log lines show a boolean.
const char* boolText(bool value);

/// Exactly 32 characters '0' or '1', most significant bit first.
std::string toBitString(std::uint32_t bits);

/// 0 when the stream is good; otherwise logs why, naming the caller, and returns -1.
int checkStream(std::string name, const std::ios& stream);

/// Name of an animation's mirroring mode: "NONE", "VERTICAL", "HORIZONTAL",
/// "BOTH", or "UNKNOWN".
std::string transformToString(int transform);

}  // namespace ox
