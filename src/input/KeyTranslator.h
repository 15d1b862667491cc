// src/input/KeyTranslator.h - the keyboard layout functions, replaceable in tests.
#pragma once

#include <windows.h>

namespace keywhirl {

// ToUnicodeEx and MapVirtualKeyExW behind one small interface, so code that
// relies on dead keys can be tested with a made-up layout.
class KeyTranslator {
public:
    virtual ~KeyTranslator() = default;
    virtual int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* buffer,
                          int size, UINT flags, HKL layout) = 0;
    virtual UINT mapVirtualKey(UINT code, UINT mapType, HKL layout) = 0;

    // The translator in use: the system's, unless a test has set another.
    static KeyTranslator& current();
    // nullptr puts the system's translator back.
    static void setCurrent(KeyTranslator* translator);
};

} // namespace keywhirl
