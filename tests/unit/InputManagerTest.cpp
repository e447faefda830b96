// The input manager's key table, whole, against the documented one. Real key
// presses through a window are in tests/gui.
#include <gtest/gtest.h>

#include <SFML/Window/Event.hpp>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "InputManager.h"

namespace {

using ox::InputManager;
namespace Keyboard = ox::Keyboard;

// The engine's key, its printable name, the window library's key.
using KeyRow = std::tuple<int, std::string, int>;

// The key table as the engine's documentation gives it, row by row, ranges
// spelled out.
std::vector<KeyRow> documentedKeys() {
    std::vector<KeyRow> rows = {
        {0, " ", 57},  {1, "", 58},   {2, "", 36},   {3, "", 60},   {4, "", 71},    {5, "", 72},
        {6, "", 73},   {7, "", 74},   {8, "", 100},  {9, "-", 68},  {10, "+", 67},  {11, "~", 54},
        {12, ".", 50}, {13, ",", 49}, {14, "/", 52}, {15, "=", 55}, {16, "\\", 53}, {17, "*", 69},
        {18, "'", 51}, {19, ";", 48}, {20, "", 37},  {21, "", 41},  {22, "", 38},   {23, "", 42},
        {72, "", 59},  {74, "[", 46}, {75, "]", 47}, {71, "0", 26},
    };
    for (int i = 0; i < 12; i++) {  // F1 to F12
        rows.push_back({24 + i, "", 85 + i});
    }
    for (int i = 0; i < 26; i++) {  // A to Z
        rows.push_back({36 + i, std::string(1, static_cast<char>('A' + i)), i});
    }
    for (int i = 0; i < 9; i++) {  // NUM1 to NUM9
        rows.push_back({62 + i, std::string(1, static_cast<char>('1' + i)), 27 + i});
    }
    return rows;
}

TEST(InputKeyTable, EveryWindowKeyMapsAsDocumented) {
    // Every window-library code maps as the table says; all others, the
    // unhandled keys and codes out of range included, are UNDEFINED_KEY.
    InputManager& input = InputManager::getInstance();
    std::set<int> mapped;
    for (const auto& [key, name, sfml] : documentedKeys()) {
        EXPECT_EQ(InputManager::toKey(static_cast<sf::Keyboard::Key>(sfml)), key) << sfml;
        EXPECT_EQ(input.keyToString(key), name) << key;
        mapped.insert(sfml);
    }
    for (int code = -2; code <= 110; code++) {
        if (mapped.count(code) == 0) {
            EXPECT_EQ(InputManager::toKey(static_cast<sf::Keyboard::Key>(code)),
                      Keyboard::UNDEFINED_KEY)
                << code;
        }
    }
    EXPECT_EQ(input.keyToString(Keyboard::UNDEFINED_KEY), "");
    EXPECT_EQ(input.keyToString(76), "");
}

}  // namespace
