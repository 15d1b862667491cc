// tests/unit/input/KeyInfoWrapperTest.cpp
#include "input/KeyInfoWrapper.h"
#include "input/KeyTranslator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace keywhirl {
namespace {

KeyInfoWrapper event(UINT virtualKey, unsigned scanCode, DWORD flags = 0) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = virtualKey;
    record.keyData = 1 | (scanCode << 16) | flags;
    return KeyInfoWrapper(record);
}

TEST(KeyInfoWrapper, SymbolKeysAreTheFourRowsSpaceAndTheKeypad) {
    struct Case {
        UINT virtualKey;
        unsigned scanCode;
        bool symbol;
    };
    const Case cases[] = {
        {VK_ESCAPE, 1, false},       {'1', 2, true},
        {VK_OEM_PLUS, 13, true},     {VK_BACK, 14, false},
        {VK_TAB, 15, true},          {VK_RETURN, 28, true},
        {VK_CONTROL, 29, false},     {'A', 30, true},
        {VK_OEM_3, 41, true},        {VK_SHIFT, 42, false},
        {VK_OEM_5, 43, false},       {'Z', 44, true},
        {VK_OEM_2, 53, true},        {VK_SHIFT, 54, false},
        {VK_MULTIPLY, 55, true},     {VK_MENU, 56, false},
        {VK_SPACE, 57, true},        {VK_CAPITAL, 58, false},
        {VK_F1, 59, false},          {VK_NUMPAD0, 82, true},
        {VK_DIVIDE, 0x35 | 0, true}, {VK_ADD, 0, true},
        {VK_NUMPAD0 - 1, 0, false},  {VK_DIVIDE + 1, 0, false},
        {VK_OEM_1, 0, false},        {VK_OEM_PLUS, 0, true},
        {VK_OEM_PERIOD, 0, true},    {VK_OEM_2, 0, false},
        {VK_DELETE, 83, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(event(c.virtualKey, c.scanCode).isSymbolKey(), c.symbol)
            << "virtual key " << c.virtualKey << ", scan code " << c.scanCode;
}

TEST(KeyInfoWrapper, FlagsAndKindsComeFromTheRecord) {
    KeyInfoWrapper press = event('A', 30);
    EXPECT_FALSE(press.isKeyUp());
    EXPECT_FALSE(press.wasDown());
    EXPECT_EQ(press.scanCode(), 30u);
    EXPECT_TRUE(event('A', 30, 0x40000000u).wasDown());
    EXPECT_TRUE(event('A', 30, 0xC0000000u).isKeyUp());
    EXPECT_EQ(event('A', 0x1FE).scanCode(), 0xFEu) << "only bits 16-23 hold the scan code";

    EXPECT_TRUE(event(VK_DELETE, 83).isDelete());
    EXPECT_TRUE(event(VK_BACK, 14).isBackspace());
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL})
        EXPECT_TRUE(event(key, 0).isModifier()) << key;
    for (UINT key : {UINT(VK_LSHIFT), UINT(VK_RCONTROL), UINT(VK_LMENU), UINT(VK_LWIN), UINT('A')})
        EXPECT_FALSE(event(key, 0).isModifier()) << "side-specific codes count as typing: " << key;
}

// A layout where scan code 30 is 'A' and types 'q', and 40 is a dead acute.
class MadeUpTranslator : public KeyTranslator {
public:
    int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* buffer, int size,
                  UINT, HKL layout) override {
        lastLayout = layout;
        lastShift = (keyState[VK_SHIFT] & 0x80) != 0;
        if (size < 1)
            return 0;
        if (virtualKey == 'A' && scanCode == 30) {
            buffer[0] = lastShift ? L'Q' : L'q';
            return 1;
        }
        if (virtualKey == VK_OEM_7 && scanCode == 40) {
            buffer[0] = L'\x00B4';
            return -1;
        }
        return 0;
    }
    UINT mapVirtualKey(UINT code, UINT mapType, HKL) override {
        if (mapType != MAPVK_VSC_TO_VK)
            return 0;
        return code == 30 ? 'A' : code == 40 ? VK_OEM_7 : 0;
    }
    HKL lastLayout = nullptr;
    bool lastShift = false;
};

TEST(KeyInfoWrapper, TranslatesThroughTheLayoutAndKeyStateOfTheRecord) {
    MadeUpTranslator translator;
    KeyTranslator::setCurrent(&translator);

    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = reinterpret_cast<HKL>(0x12345678);
    record.virtualKey = 'A';
    record.keyData = 1 | (30 << 16);
    record.keyState[VK_SHIFT] = 0x80;
    KeyInfoWrapper shifted(record);

    wchar_t buffer[4] = {};
    EXPECT_EQ(shifted.toUnicode(buffer, 4), 1);
    EXPECT_EQ(buffer[0], L'Q');
    EXPECT_EQ(translator.lastLayout, record.keyboardLayout);

    EXPECT_EQ(shifted.scanCodeToUnicode(40, buffer, 4), -1) << "a dead key";
    EXPECT_EQ(shifted.scanCodeToUnicode(99, buffer, 4), 0) << "no character";

    shifted.setKeyboardLayout(reinterpret_cast<HKL>(0x4321));
    shifted.scanCodeToUnicode(30, buffer, 4);
    EXPECT_EQ(translator.lastLayout, reinterpret_cast<HKL>(0x4321));

    KeyTranslator::setCurrent(nullptr);
}

} // namespace
} // namespace keywhirl
