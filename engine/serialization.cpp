#include "serialization.h"

#include <algorithm>
#include <bit>
#include <istream>
#include <ostream>
#include <type_traits>
#include <utility>

#include "LogManager.h"

namespace ox {

namespace {

/// Bytes readBytes takes from the stream at a time.
const std::size_t READ_PIECE = 256;

/// Writes an integer least significant byte first, whatever the machine's order.
template <typename T>
void writeLittleEndian(std::ostream& os, T value) {
    using Unsigned = std::make_unsigned_t<T>;
    const Unsigned bits = static_cast<Unsigned>(value);
    char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); i++) {
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xff);
    }
    os.write(bytes, sizeof(T));
}

/// Reads an integer written by writeLittleEndian; false when the stream ends first.
template <typename T>
bool readLittleEndian(std::istream& is, T& value) {
    using Unsigned = std::make_unsigned_t<T>;
    unsigned char bytes[sizeof(T)];
    if (!is.read(reinterpret_cast<char*>(bytes), sizeof(T))) {
        return false;
    }
    Unsigned bits = 0;
    for (std::size_t i = 0; i < sizeof(T); i++) {
        bits = static_cast<Unsigned>(bits | (static_cast<Unsigned>(bytes[i]) << (8 * i)));
    }
    value = static_cast<T>(bits);
    return true;
}

}  // namespace

bool streamMissing(const void* p_stream, const std::string& name) {
    if (p_stream != nullptr) {
        return false;
    }
    LogManager::getInstance().writeLog("%s: Error! Stream is NULL.", name.c_str());
    return true;
}

int refuseLength(std::istream& is, const std::string& name, std::uint64_t length) {
    LogManager::getInstance().writeLog("%s: Error! Cannot allocate %llu bytes.", name.c_str(),
                                       static_cast<unsigned long long>(length));
    is.setstate(std::ios::failbit);
    return -1;
}

void writeInt32(std::ostream& os, std::int32_t value) {
    writeLittleEndian(os, value);
}

void writeUint32(std::ostream& os, std::uint32_t value) {
    writeLittleEndian(os, value);
}

void writeInt64(std::ostream& os, std::int64_t value) {
    writeLittleEndian(os, value);
}

void writeUint64(std::ostream& os, std::uint64_t value) {
    writeLittleEndian(os, value);
}

void writeFloat(std::ostream& os, float value) {
    writeLittleEndian(os, std::bit_cast<std::uint32_t>(value));
}

void writeByte(std::ostream& os, std::uint8_t value) {
    writeLittleEndian(os, value);
}

void writeBool(std::ostream& os, bool value) {
    writeByte(os, value ? 1 : 0);
}

void writeString(std::ostream& os, const std::string& text) {
    writeUint64(os, text.size());
    os.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool readInt32(std::istream& is, std::int32_t& value) {
    return readLittleEndian(is, value);
}

bool readUint32(std::istream& is, std::uint32_t& value) {
    return readLittleEndian(is, value);
}

bool readInt64(std::istream& is, std::int64_t& value) {
    return readLittleEndian(is, value);
}

bool readUint64(std::istream& is, std::uint64_t& value) {
    return readLittleEndian(is, value);
}

bool readFloat(std::istream& is, float& value) {
    std::uint32_t bits = 0;
    if (!readLittleEndian(is, bits)) {
        return false;
    }
    value = std::bit_cast<float>(bits);
    return true;
}

bool readByte(std::istream& is, std::uint8_t& value) {
    return readLittleEndian(is, value);
}

bool readBool(std::istream& is, bool& value) {
    std::uint8_t byte = 0;
    if (!readByte(is, byte)) {
        return false;
    }
    value = byte != 0;
    return true;
}

bool readBytes(std::istream& is, std::uint64_t length, std::string& text) {
    std::string bytes;
    char piece[READ_PIECE];
    while (bytes.size() < length) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(READ_PIECE, length - bytes.size()));
        if (!is.read(piece, static_cast<std::streamsize>(wanted))) {
            return false;
        }
        bytes.append(piece, wanted);
    }
    text = std::move(bytes);
    return true;
}

}  // namespace ox
