// hook/KeyStateTracker.cpp
#include "KeyStateTracker.h"

#include <cstring>

namespace keywhirl::hook {

namespace {
constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

// Key messages carry the generic code for a modifier, whichever side it is.
UINT messageVirtualKey(DWORD virtualKey) {
    switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return virtualKey & 0xFF;
    }
}

bool isLockKey(UINT virtualKey) {
    return virtualKey == VK_CAPITAL || virtualKey == VK_NUMLOCK || virtualKey == VK_SCROLL;
}
} // namespace

KeyStateTracker::KeyStateTracker() {
    std::memset(state_, 0, sizeof state_);
}

void KeyStateTracker::seedFromSystem() {
    for (int key = 1; key < 256; ++key) {
        BYTE value = (::GetAsyncKeyState(key) & 0x8000) ? kDown : 0;
        if (isLockKey(key) && (::GetKeyState(key) & 1))
            value |= kToggled;
        state_[key] = value;
    }
}

void KeyStateTracker::seed(const BYTE (&state)[256]) {
    std::memcpy(state_, state, sizeof state_);
}

void KeyStateTracker::setDown(UINT virtualKey, bool down) {
    if (down)
        state_[virtualKey] |= kDown;
    else
        state_[virtualKey] &= static_cast<BYTE>(~kDown);
}

void KeyStateTracker::updateGenericModifier(UINT generic, UINT left, UINT right) {
    setDown(generic, (state_[left] & kDown) || (state_[right] & kDown));
}

void KeyStateTracker::track(const LowLevelKey& key, HKL layout, KeyRecord& record) {
    UINT specific = key.virtualKey & 0xFF;
    UINT generic = messageVirtualKey(key.virtualKey);
    // Bit 30 of a key message: the key was down before this event.
    bool wasDown = (state_[specific] & kDown) != 0;

    if (!key.released && !wasDown && isLockKey(specific))
        state_[specific] ^= kToggled;
    setDown(specific, !key.released);
    updateGenericModifier(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    updateGenericModifier(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    updateGenericModifier(VK_MENU, VK_LMENU, VK_RMENU);

    DWORD keyData = 1;
    keyData |= (key.scanCode & 0xFF) << 16;
    if (key.extended)
        keyData |= 1u << 24;
    if (key.altDown)
        keyData |= 1u << 29;
    if (wasDown || key.released)
        keyData |= 1u << 30;
    if (key.released)
        keyData |= 1u << 31;

    record.keyboardLayout = layout;
    record.virtualKey = generic;
    record.keyData = keyData;
    record.time = key.time;
    std::memcpy(record.keyState, state_, sizeof state_);
}

} // namespace keywhirl::hook
