// src/input/KeyInfoWrapper.h - one key event with its accessors and translation.
#pragma once

#include "input/KeyRecord.h"

namespace keywhirl {

class KeyInfoWrapper {
public:
    // A snapshot of the calling thread's own keyboard: key state and layout.
    KeyInfoWrapper();
    explicit KeyInfoWrapper(const KeyRecord& record);
    KeyInfoWrapper(const KeyInfoWrapper&) = default;
    KeyInfoWrapper& operator=(const KeyInfoWrapper&) = default;
    virtual ~KeyInfoWrapper() = default;

    const KeyRecord& record() const { return record_; }
    HKL keyboardLayout() const { return record_.keyboardLayout; }
    UINT virtualKey() const { return record_.virtualKey; }
    const BYTE* keyState() const { return record_.keyState; }
    // When the key went down or up: the system's tick count.
    DWORD time() const { return record_.time; }
    void setKeyboardLayout(HKL layout) { record_.keyboardLayout = layout; }
    void setTime(DWORD time) { record_.time = time; }

    unsigned scanCode() const { return (record_.keyData >> 16) & 0xFF; }
    bool isKeyUp() const { return (record_.keyData & 0x80000000u) != 0; }
    // An automatic repeat of a key that is held down.
    bool wasDown() const { return (record_.keyData & 0x40000000u) != 0; }
    bool isDelete() const { return record_.virtualKey == VK_DELETE; }
    bool isBackspace() const { return record_.virtualKey == VK_BACK; }
    bool isModifier() const;
    // Whether the key types a symbol: the four letter rows, Tab, Enter,
    // Space, and the keypad's digits and operators.
    bool isSymbolKey() const;

    // The characters this key types; negative for a dead key, 0 for none.
    int toUnicode(wchar_t* buffer, int size) const;
    // The characters another key, given by scan code, types under this
    // event's layout and key state.
    int scanCodeToUnicode(unsigned scanCode, wchar_t* buffer, int size) const;

private:
    KeyRecord record_;
};

} // namespace keywhirl
