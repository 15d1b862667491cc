// tests/unit/keyboard/NamedKeysTest.cpp - which named keys show as held, and where they sit.
#include "keyboard/NamedKeys.h"

#include "keyboard/KeyboardDrawer.h"
#include "localization/ResourceBundle.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

// The index of the named key whose text key and side are given.
unsigned bitOf(const wchar_t* textKey, bool left) {
    const std::vector<NamedKeys::Key>& keys = NamedKeys::keys();
    unsigned found = 0;
    int matches = 0;
    for (unsigned i = 0; i < keys.size(); ++i) {
        if (std::wstring(keys[i].textKey) != textKey)
            continue;
        bool pairOfTwo = false;
        for (const NamedKeys::Key& other : keys)
            pairOfTwo = pairOfTwo || (&other != &keys[i] && std::wstring(other.textKey) == textKey);
        if (!pairOfTwo || keys[i].leftSide == left) {
            found = i;
            ++matches;
        }
    }
    EXPECT_EQ(matches, 1) << "no single key " << std::string(textKey, textKey + wcslen(textKey));
    return 1u << found;
}

struct HeldCase {
    const char* what;
    std::initializer_list<std::pair<BYTE, BYTE>> state; // virtual key, state byte
    unsigned expected;
};

TEST(NamedKeys, HeldModifiersShowOnTheirOwnSide) {
    const unsigned leftShift = bitOf(L"key.shift", true);
    const unsigned rightShift = bitOf(L"key.shift", false);
    const unsigned leftCtrl = bitOf(L"key.ctrl", true);
    const unsigned rightCtrl = bitOf(L"key.ctrl", false);
    const unsigned alt = bitOf(L"key.alt", true);
    const unsigned altGr = bitOf(L"key.altGr", false);
    const unsigned leftWin = bitOf(L"key.win", true);
    const unsigned rightWin = bitOf(L"key.win", false);
    const unsigned caps = bitOf(L"key.capsLock", true);
    const HeldCase cases[] = {
        {"nothing held", {}, 0},
        {"left Shift", {{VK_SHIFT, 0x80}, {VK_LSHIFT, 0x80}}, leftShift},
        {"right Shift", {{VK_SHIFT, 0x80}, {VK_RSHIFT, 0x80}}, rightShift},
        {"both Shifts",
         {{VK_SHIFT, 0x80}, {VK_LSHIFT, 0x80}, {VK_RSHIFT, 0x81}},
         leftShift | rightShift},
        {"a Shift of unknown side shows on the left", {{VK_SHIFT, 0x80}}, leftShift},
        {"right Ctrl", {{VK_CONTROL, 0x80}, {VK_RCONTROL, 0x80}}, rightCtrl},
        {"AltGr, which Windows reports with a left Ctrl",
         {{VK_MENU, 0x80}, {VK_RMENU, 0x80}, {VK_CONTROL, 0x80}, {VK_LCONTROL, 0x80}},
         altGr | leftCtrl},
        {"an Alt of unknown side is the left Alt", {{VK_MENU, 0x80}}, alt},
        {"both Win keys", {{VK_LWIN, 0x80}, {VK_RWIN, 0x80}}, leftWin | rightWin},
        {"Caps Lock held", {{VK_CAPITAL, 0x80}}, caps},
        {"Caps Lock only toggled on is not held", {{VK_CAPITAL, 0x01}}, 0},
        {"toggle bits of modifiers are not held", {{VK_LSHIFT, 0x01}, {VK_SHIFT, 0x01}}, 0},
        {"Tab, Enter, Backspace and Menu never show held",
         {{VK_TAB, 0x80}, {VK_RETURN, 0x80}, {VK_BACK, 0x80}, {VK_APPS, 0x80}},
         0},
    };
    for (const HeldCase& c : cases) {
        BYTE state[256] = {};
        for (const auto& [key, value] : c.state)
            state[key] = value;
        EXPECT_EQ(NamedKeys::heldIn(state), c.expected) << c.what;
    }
}

TEST(NamedKeys, CellsLieOnThePictureApartFromEachOtherAndTheCharacterKeys) {
    std::vector<RECT> taken;
    for (unsigned scanCode = 0; scanCode < 0x80; ++scanCode) {
        KeyRect cell = KeyboardDrawer::keyRectFor(scanCode);
        if (cell.isValid())
            taken.push_back(cell.toRECT());
    }
    ASSERT_EQ(taken.size(), 47u);
    for (const NamedKeys::Key& key : NamedKeys::keys()) {
        RECT box = key.cell.toRECT();
        EXPECT_GE(box.left, 9);
        EXPECT_GE(box.top, 29);
        EXPECT_LE(box.right, 754 - 9);
        EXPECT_LE(box.bottom, 246 - 9);
        // Inclusive edges: boxes one pixel apart still touch.
        RECT inflated = {box.left, box.top, box.right + 1, box.bottom + 1};
        for (const RECT& other : taken) {
            RECT otherInflated = {other.left, other.top, other.right + 1, other.bottom + 1};
            RECT overlap;
            EXPECT_FALSE(::IntersectRect(&overlap, &inflated, &otherInflated))
                << "the cell of " << std::string(key.textKey, key.textKey + wcslen(key.textKey))
                << " at " << box.left << "," << box.top << " overlaps another";
        }
        taken.push_back(box);
    }
}

TEST(NamedKeys, NamesComeFromTheKeyboardSectionInOrderAndMissingOnesStayEmpty) {
    ResourceBundle texts;
    texts.setString(L"key.ctrl", L"Strg");
    texts.setString(L"key.shift", L"Umschalt");
    std::vector<std::wstring> names = NamedKeys::namesFrom(texts);
    ASSERT_EQ(names.size(), NamedKeys::keys().size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring key = NamedKeys::keys()[i].textKey;
        std::wstring expected = key == L"key.ctrl"    ? L"Strg"
                                : key == L"key.shift" ? L"Umschalt"
                                                      : L"";
        EXPECT_EQ(names[i], expected) << i;
    }
}

} // namespace
} // namespace keywhirl
