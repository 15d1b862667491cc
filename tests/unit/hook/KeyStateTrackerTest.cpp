// tests/unit/hook/KeyStateTrackerTest.cpp
#include "KeyStateTracker.h"

#include <gtest/gtest.h>

namespace keywhirl::hook {
namespace {

HKL const kLayout = reinterpret_cast<HKL>(0x04090409);

KeyRecord press(KeyStateTracker& tracker, DWORD virtualKey, DWORD scanCode, bool extended = false) {
    KeyRecord record;
    tracker.track({virtualKey, scanCode, extended, false, false}, kLayout, record);
    return record;
}

KeyRecord release(KeyStateTracker& tracker, DWORD virtualKey, DWORD scanCode) {
    KeyRecord record;
    tracker.track({virtualKey, scanCode, false, false, true}, kLayout, record);
    return record;
}

bool down(const KeyRecord& record, int key) {
    return (record.keyState[key] & 0x80) != 0;
}

TEST(KeyStateTracker, BuildsKeyDataLikeAKeyMessage) {
    KeyStateTracker tracker;
    KeyRecord first = press(tracker, 'Q', 0x10);
    EXPECT_EQ(first.keyData, 0x00100001u) << "repeat count 1, scan code in bits 16-23";
    EXPECT_EQ(first.virtualKey, static_cast<UINT>('Q'));
    EXPECT_EQ(first.keyboardLayout, kLayout);

    KeyRecord repeat = press(tracker, 'Q', 0x10);
    EXPECT_EQ(repeat.keyData, 0x40100001u) << "an automatic repeat has the previous-state bit";

    KeyRecord up = release(tracker, 'Q', 0x10);
    EXPECT_EQ(up.keyData, 0xC0100001u) << "a release carries transition and previous state";

    KeyRecord arrow = press(tracker, VK_LEFT, 0x4B, true);
    EXPECT_EQ(arrow.keyData & (1u << 24), 1u << 24) << "extended key bit";
}

TEST(KeyStateTracker, ReportsModifiersByTheirGenericCodeAndKeepsBothSides) {
    KeyStateTracker tracker;
    KeyRecord left = press(tracker, VK_LSHIFT, 0x2A);
    EXPECT_EQ(left.virtualKey, static_cast<UINT>(VK_SHIFT));
    EXPECT_TRUE(down(left, VK_SHIFT));
    EXPECT_TRUE(down(left, VK_LSHIFT));

    KeyRecord right = press(tracker, VK_RSHIFT, 0x36);
    EXPECT_TRUE(down(right, VK_RSHIFT));
    KeyRecord leftUp = release(tracker, VK_LSHIFT, 0x2A);
    EXPECT_TRUE(down(leftUp, VK_SHIFT)) << "the right Shift is still held";
    EXPECT_FALSE(down(leftUp, VK_LSHIFT));
    KeyRecord rightUp = release(tracker, VK_RSHIFT, 0x36);
    EXPECT_FALSE(down(rightUp, VK_SHIFT));

    KeyRecord control = press(tracker, VK_RCONTROL, 0x1D, true);
    EXPECT_EQ(control.virtualKey, static_cast<UINT>(VK_CONTROL));
    EXPECT_TRUE(down(control, VK_CONTROL));
    KeyRecord altGr = press(tracker, VK_RMENU, 0x38, true);
    EXPECT_EQ(altGr.virtualKey, static_cast<UINT>(VK_MENU));
    EXPECT_TRUE(down(altGr, VK_MENU));
}

TEST(KeyStateTracker, LockKeysToggleOnTheirFirstPressOnly) {
    KeyStateTracker tracker;
    EXPECT_EQ(press(tracker, VK_CAPITAL, 0x3A).keyState[VK_CAPITAL] & 1, 1);
    EXPECT_EQ(press(tracker, VK_CAPITAL, 0x3A).keyState[VK_CAPITAL] & 1, 1)
        << "an automatic repeat does not toggle again";
    EXPECT_EQ(release(tracker, VK_CAPITAL, 0x3A).keyState[VK_CAPITAL] & 1, 1);
    EXPECT_EQ(press(tracker, VK_CAPITAL, 0x3A).keyState[VK_CAPITAL] & 1, 0);

    BYTE seeded[256] = {};
    seeded[VK_NUMLOCK] = 1;
    tracker.seed(seeded);
    KeyRecord digit = press(tracker, VK_NUMPAD1, 0x4F);
    EXPECT_EQ(digit.keyState[VK_NUMLOCK], 1) << "the seeded toggle state is kept";
    EXPECT_EQ(digit.keyState[VK_CAPITAL], 0);
}

} // namespace
} // namespace keywhirl::hook
