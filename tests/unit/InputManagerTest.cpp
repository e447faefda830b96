// The input manager's key table, whole, against the documented one. Real key
// presses through a window are in tests/gui.
#include <gtest/gtest.h>

#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "InputManager.h"

namespace {

using ox::InputManager;
namespace Keyboard = ox::Keyboard;

// The engine's key, its printable name, the window library's key, polled.
using KeyRow = std::tuple<int, std::string, int, bool>;

// The key table as the engine's documentation gives it, row by row, ranges
// spelled out.
std::vector<KeyRow> documentedKeys() {
    std::vector<KeyRow> rows = {
        {0, " ", 57, true},   {1, "", 58, true},   {2, "", 36, true},   {3, "", 60, true},
        {4, "", 71, true},    {5, "", 72, true},   {6, "", 73, true},   {7, "", 74, true},
        {8, "", 100, true},   {9, "-", 68, true},  {10, "+", 67, true}, {11, "~", 54, true},
        {12, ".", 50, true},  {13, ",", 49, true}, {14, "/", 52, true}, {15, "=", 55, true},
        {16, "\\", 53, true}, {17, "*", 69, true}, {18, "'", 51, true}, {19, ";", 48, true},
        {20, "", 37, true},   {21, "", 41, true},  {22, "", 38, true},  {23, "", 42, true},
        {72, "", 59, true},   {74, "[", 46, true}, {75, "]", 47, true}, {71, "0", 26, true},
    };
    for (int i = 0; i < 12; i++) {  // F1 to F12; the poll stops at F10
        rows.push_back({24 + i, "", 85 + i, i < 10});
    }
    for (int i = 0; i < 26; i++) {  // A to Z
        rows.push_back({36 + i, std::string(1, static_cast<char>('A' + i)), i, true});
    }
    for (int i = 0; i < 9; i++) {  // NUM1 to NUM9
        rows.push_back({62 + i, std::string(1, static_cast<char>('1' + i)), 27 + i, true});
    }
    return rows;
}

TEST(InputKeyTable, MatchesTheDocumentedTableAndPollOrder) {
    std::vector<KeyRow> actual;
    for (const ox::KeyBinding& binding : InputManager::keyTable()) {
        actual.push_back(
            {binding.key, binding.name, static_cast<int>(binding.sfml_key), binding.polled});
    }
    std::vector<KeyRow> expected = documentedKeys();
    std::sort(expected.begin(), expected.end());
    std::vector<KeyRow> sorted = actual;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);

    // The poll's fixed order.
    std::vector<int> order = {
        Keyboard::UPARROW,      Keyboard::DOWNARROW, Keyboard::LEFTARROW,   Keyboard::RIGHTARROW,
        Keyboard::SPACE,        Keyboard::RETURN,    Keyboard::TAB,         Keyboard::ESCAPE,
        Keyboard::PAUSE,        Keyboard::MINUS,     Keyboard::PLUS,        Keyboard::TILDE,
        Keyboard::PERIOD,       Keyboard::COMMA,     Keyboard::SLASH,       Keyboard::EQUAL,
        Keyboard::BACKSLASH,    Keyboard::MULTIPLY,  Keyboard::QUOTE,       Keyboard::LEFTBRACKET,
        Keyboard::RIGHTBRACKET, Keyboard::SEMICOLON, Keyboard::LEFTCONTROL, Keyboard::RIGHTCONTROL,
        Keyboard::LEFTSHIFT,    Keyboard::RIGHTSHIFT};
    for (int key = Keyboard::F1; key <= Keyboard::F10; key++) {
        order.push_back(key);
    }
    for (int key = Keyboard::A; key <= Keyboard::Z; key++) {
        order.push_back(key);
    }
    for (int key = Keyboard::NUM1; key <= Keyboard::NUM0; key++) {
        order.push_back(key);
    }
    order.push_back(Keyboard::BACKSPACE);
    std::vector<int> polled;
    for (const auto& [key, name, sfml, is_polled] : actual) {
        if (is_polled) {
            polled.push_back(key);
        }
    }
    EXPECT_EQ(polled, order);

    // Every window-library code maps as the table says; all others, the
    // unhandled keys and codes out of range included, are UNDEFINED_KEY.
    InputManager& input = InputManager::getInstance();
    std::set<int> mapped;
    for (const auto& [key, name, sfml, is_polled] : expected) {
        EXPECT_EQ(InputManager::toKey(static_cast<sf::Keyboard::Key>(sfml)), key);
        EXPECT_EQ(input.keyToString(key), name);
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
