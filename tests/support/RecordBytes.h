#pragma once

#include <cstdint>
#include <string>

#include "Object.h"

namespace ox_test {

// Record bytes written out independently of the engine's writers.
/// Four bytes of a 32-bit value, least significant first.
std::string le32(std::uint32_t value);
/// Eight bytes of a 64-bit value, least significant first.
std::string le64(std::uint64_t value);
/// The four bytes of a float's bits, least significant first.
std::string f32(float value);
/// One byte, 0 or 1.
std::string flag(bool value);
/// A 64-bit length and the string's bytes.
std::string str(const std::string& text);
/// A vector's form: x and y.
std::string vec(float x, float y);

/// The record an object writes for attr.
std::string record(ox::Object& object, unsigned int attr);
/// Reads a record into an object; the deserializer's result.
int load(ox::Object& object, const std::string& bytes, unsigned int* p_mask = nullptr);

}  // namespace ox_test
