#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace ox {

// Building blocks of the binary object records: fixed-width values in
// little-endian byte order, booleans as one byte, lengths and counts as
// 64-bit integers, strings as a length and that many bytes. A record may come
// from a file or a network peer, so the readers treat every length as
// untrusted: the callers refuse one above the cap of its field, and the bytes
// are read in pieces, so memory grows only with the bytes that really arrive.

/// Longest event label a record may carry, in bytes.
const std::uint64_t MAX_LABEL_BYTES = 256;
/// Longest object type a record may carry, in bytes.
const std::uint64_t MAX_TYPE_BYTES = 1024;
/// Longest sprite name an animation record may carry, in bytes.
const std::uint64_t MAX_SPRITE_NAME_BYTES = 1024;
/// Longest view string a view object record may carry, in bytes.
const std::uint64_t MAX_VIEW_STRING_BYTES = 4096;
/// Most waypoints a path record may carry.
const std::int64_t MAX_WAYPOINTS = 1 << 20;

/// True, after logging "NAME: Error! Stream is NULL.", when the stream pointer is null.
bool streamMissing(const void* p_stream, const std::string& name);

/// Refuses an untrusted length: logs "NAME: Error! Cannot allocate LENGTH
/// bytes.", fails the stream (whose position no longer means anything) and
/// returns -1.
int refuseLength(std::istream& is, const std::string& name, std::uint64_t length);

/// Writes a 32-bit signed integer, least significant byte first.
void writeInt32(std::ostream& os, std::int32_t value);
/// Writes a 32-bit unsigned integer, least significant byte first.
void writeUint32(std::ostream& os, std::uint32_t value);
/// Writes a 64-bit signed integer, least significant byte first.
void writeInt64(std::ostream& os, std::int64_t value);
/// Writes a 64-bit unsigned integer, least significant byte first.
void writeUint64(std::ostream& os, std::uint64_t value);
/// Writes the bits of a single-precision float as a 32-bit integer.
void writeFloat(std::ostream& os, float value);
/// Writes one byte.
void writeByte(std::ostream& os, std::uint8_t value);
/// Writes a boolean as one byte, 0 or 1.
void writeBool(std::ostream& os, bool value);
/// Writes a string as its 64-bit length and its bytes, without a terminator.
void writeString(std::ostream& os, const std::string& text);

/// Reads a 32-bit signed integer; false (value untouched) when the stream ends first.
bool readInt32(std::istream& is, std::int32_t& value);
/// Reads a 32-bit unsigned integer; false (value untouched) when the stream ends first.
bool readUint32(std::istream& is, std::uint32_t& value);
/// Reads a 64-bit signed integer; false (value untouched) when the stream ends first.
bool readInt64(std::istream& is, std::int64_t& value);
/// Reads a 64-bit unsigned integer; false (value untouched) when the stream ends first.
bool readUint64(std::istream& is, std::uint64_t& value);
/// Reads a single-precision float; false (value untouched) when the stream ends first.
bool readFloat(std::istream& is, float& value);
/// Reads one byte; false (value untouched) when the stream ends first.
bool readByte(std::istream& is, std::uint8_t& value);
/// Reads a boolean byte (any byte but 0 is true); false when the stream ends first.
bool readBool(std::istream& is, bool& value);
/// Reads exactly length bytes into text, in pieces, so that a length larger
/// than what the stream holds never reserves more than what arrived. False
/// (text untouched) when the stream ends first. Callers cap the length.
bool readBytes(std::istream& is, std::uint64_t length, std::string& text);

}  // namespace ox
