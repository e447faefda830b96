#include "RecordBytes.h"

#include <cstring>
#include <sstream>

namespace ox_test {

std::string le64(std::uint64_t value) {
    std::string bytes;
    for (int i = 0; i < 8; i++) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes;
}

std::string le32(std::uint32_t value) {
    return le64(value).substr(0, 4);
}

std::string f32(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return le32(bits);
}

std::string flag(bool value) {
    return std::string(1, value ? '\1' : '\0');
}

std::string str(const std::string& text) {
    return le64(text.size()) + text;
}

std::string vec(float x, float y) {
    return f32(x) + f32(y);
}

std::string record(ox::Object& object, unsigned int attr) {
    std::stringstream stream(std::ios::in | std::ios::out | std::ios::binary);
    object.serialize(&stream, attr);
    return stream.str();
}

int load(ox::Object& object, const std::string& bytes, unsigned int* p_mask) {
    std::istringstream stream(bytes, std::ios::in | std::ios::binary);
    return object.deserialize(&stream, p_mask);
}

}  // namespace ox_test
