// src/input/KeyInfoWrapper.cpp
#include "input/KeyInfoWrapper.h"

#include "input/KeyTranslator.h"
#include "utils/TickCount.h"

#include <cstring>

namespace keywhirl {

namespace {
bool inRange(unsigned value, unsigned low, unsigned high) {
    return value >= low && value <= high;
}
} // namespace

KeyInfoWrapper::KeyInfoWrapper() {
    std::memset(&record_, 0, sizeof record_);
    ::GetKeyboardState(record_.keyState);
    record_.keyboardLayout = ::GetKeyboardLayout(0);
    record_.time = utils::tickCount();
}

KeyInfoWrapper::KeyInfoWrapper(const KeyRecord& record) : record_(record) {}

bool KeyInfoWrapper::isModifier() const {
    switch (record_.virtualKey) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

bool KeyInfoWrapper::isSymbolKey() const {
    unsigned scan = scanCode();
    unsigned key = record_.virtualKey;
    return inRange(scan, 2, 13) || inRange(scan, 15, 28) || inRange(scan, 30, 41) ||
           inRange(scan, 44, 53) || scan == 57 || inRange(key, VK_NUMPAD0, VK_DIVIDE) ||
           inRange(key, VK_OEM_PLUS, VK_OEM_PERIOD);
}

int KeyInfoWrapper::toUnicode(wchar_t* buffer, int size) const {
    return KeyTranslator::current().toUnicode(record_.virtualKey, scanCode(), record_.keyState,
                                              buffer, size, 0, record_.keyboardLayout);
}

int KeyInfoWrapper::scanCodeToUnicode(unsigned scanCode, wchar_t* buffer, int size) const {
    KeyTranslator& translator = KeyTranslator::current();
    UINT virtualKey = translator.mapVirtualKey(scanCode, MAPVK_VSC_TO_VK, record_.keyboardLayout);
    return translator.toUnicode(virtualKey, scanCode, record_.keyState, buffer, size, 0,
                                record_.keyboardLayout);
}

} // namespace keywhirl
