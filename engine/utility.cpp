#include "utility.h"

#include <bitset>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <sstream>

#include "LogManager.h"
#include "Platform.h"
#include "WorldManager.h"

namespace ox {

namespace {

/// The item table of the last parse, kept between calls of match.
struct MatchTable {
    std::unique_ptr<std::string[]> keys;
    std::unique_ptr<std::string[]> vals;
    int count = 0;
};

MatchTable& matchTable() {
    static MatchTable table;
    return table;
}

std::string removeWhiteSpace(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            result.push_back(c);
        }
    }
    return result;
}

/// Stores one piece (a NUL-terminated item) in the table. False when the piece
/// holds nothing but colons, which ends the parse.
bool parseItem(char* p_piece, MatchTable& table) {
    LogManager& log = LogManager::getInstance();
    log.writeLog(25, "\titem number %d", table.count);
    log.writeLog(28, "\tp_element is '%s' (%p)", p_piece, static_cast<void*>(p_piece));
    char* p_key = p_piece + std::strspn(p_piece, ":");
    char* p_key_end = p_key + std::strcspn(p_key, ":");
    const bool has_more = *p_key_end != '\0';
    *p_key_end = '\0';
    log.writeLog(28, "\ttoken is '%s' (%p)", p_key, static_cast<void*>(p_key));
    if (*p_key == '\0') {
        return false;
    }
    table.keys[table.count] = p_key;
    log.writeLog(25, "\tkey %s", p_key);
    std::string value;
    if (has_more) {
        char* p_val = p_key_end + 1;
        p_val += std::strspn(p_val, ":");
        value.assign(p_val, std::strcspn(p_val, ":"));
    }
    table.vals[table.count] = value;
    log.writeLog(25, "\tval %s", value.c_str());
    table.count++;
    return true;
}

/// Replaces the table with the items of the text. False when memory ran out.
bool parse(const std::string& text, MatchTable& table) {
    LogManager& log = LogManager::getInstance();
    table.keys.reset();
    table.vals.reset();
    table.count = 0;
    std::size_t commas = 0;
    for (const char c : text) {
        commas += c == ',' ? 1 : 0;
    }
    const std::size_t slots = commas + 1;
    log.writeLog(25, "match(): number of elements allocated is %zu", slots);
    table.keys.reset(new (std::nothrow) std::string[slots]);
    if (!table.keys) {
        log.writeLog("match(): unable to allocate key array!");
        return false;
    }
    table.vals.reset(new (std::nothrow) std::string[slots]);
    if (!table.vals) {
        table.keys.reset();
        log.writeLog("match(): unable to allocate val array!");
        return false;
    }
    std::unique_ptr<char[]> p_copy(new (std::nothrow) char[text.size() + 1]);
    if (!p_copy) {
        log.writeLog("match(): Unable to call strdup()!");
        return false;
    }
    std::memcpy(p_copy.get(), text.data(), text.size());
    p_copy[text.size()] = '\0';

    // Split at commas, skipping empty pieces. Bytes after a NUL in a piece are ignored.
    char* p_end = p_copy.get() + text.size();
    for (char* p_piece = p_copy.get(); p_piece < p_end;) {
        char* p_comma = static_cast<char*>(std::memchr(p_piece, ',', p_end - p_piece));
        char* p_next = p_comma != nullptr ? p_comma + 1 : p_end;
        if (p_comma != nullptr) {
            *p_comma = '\0';
        }
        if (*p_piece != '\0' && !parseItem(p_piece, table)) {
            break;
        }
        p_piece = p_next;
    }
    log.writeLog(25, "match(): parsed.");
    for (int i = 0; i < table.count; i++) {
        log.writeLog(28, "\t%d  %s : %s", i, table.keys[i].c_str(), table.vals[i].c_str());
    }
    return true;
}

}  // namespace

std::string match(std::string text, std::string key) {
    LogManager& log = LogManager::getInstance();
    log.writeLog(25, "match(\"%s\", \"%s\")", text.c_str(), key.c_str());
    MatchTable& table = matchTable();
    if (!text.empty() && !parse(removeWhiteSpace(text), table)) {
        return "";
    }
    log.writeLog(25, "match(): Looking for match '%s' among %d items.", key.c_str(), table.count);
    for (int i = 0; i < table.count; i++) {
        log.writeLog(28, "match(): %d: %s == %s?", i, table.keys[i].c_str(), key.c_str());
        if (table.keys[i] == key) {
            return table.vals[i];
        }
    }
    return "";
}

const char* timeString() {
    static char time_str[32];
    platform::TimeOfDay time;
    if (!platform::localTimeOfDay(time)) {
        std::snprintf(time_str, sizeof(time_str), "(time error)");
    } else {
        std::snprintf(time_str, sizeof(time_str), "%02d:%02d:%02d", time.hour, time.minute,
                      time.second);
    }
    return time_str;
}

bool inRange(float value, float min, float max) {
    return value >= min && max >= value;
}

Vector worldToView(Vector world_pos) {
    return world_pos - WorldManager::getInstance().getView().getCorner();
}

Vector viewToWorld(Vector view_pos) {
    return view_pos + WorldManager::getInstance().getView().getCorner();
}

std::string toString(int i) {
    std::ostringstream ss;
    ss << i;
    return ss.str();
}

std::string toString(float f) {
    std::ostringstream ss;
    ss << f;
    return ss.str();
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

std::string toBitString(std::uint32_t bits) {
    return std::bitset<32>(bits).to_string();
}

int checkStream(std::string name, const std::ios& stream) {
    if (stream.good()) {
        return 0;
    }
    // The state bits are tested one by one: fail() alone would also report
    // the bad bit and leave the bad line unreachable.
    LogManager& log = LogManager::getInstance();
    const std::ios::iostate state = stream.rdstate();
    if (state & std::ios::eofbit) {
        log.writeLog("%s: Error! Stream eof.", name.c_str());
    } else if (state & std::ios::failbit) {
        log.writeLog("%s: Error! Stream fail.", name.c_str());
    } else if (state & std::ios::badbit) {
        log.writeLog("%s: Error! Stream bad.", name.c_str());
    } else {
        log.writeLog("%s: Error! Stream error.", name.c_str());
    }
    return -1;
}

std::string transformToString(int transform) {
    switch (transform) {
        case 0:
            return "NONE";
        case 1:
            return "VERTICAL";
        case 2:
            return "HORIZONTAL";
        case 3:
            return "BOTH";
        default:
            return "UNKNOWN";
    }
}

}  // namespace ox
