// tests/unit/keyboard/FakeLayouts.h - two made-up keyboard layouts, one with a dead key.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "input/KeyTranslator.h"
#include "utils/CriticalSection.h"

#include <atomic>
#include <map>

namespace keywhirl::testing {

// kLatin: a US-like layout whose apostrophe key (scan code 0x28) is an acute
// accent dead key, whose minus key (0x0C) types the two letters "ij" and
// whose right bracket key (0x1B) types nothing; with AltGr (Ctrl and Alt
// held) E types the euro sign, Q an at sign and 2 a superscript two, and
// other keys nothing. kCyrillic: Cyrillic letters
// on the letter keys, no dead key. Any other layout handle counts as kLatin.
// Like the system's, the dead-key state is kept per thread.
class FakeLayouts : public KeyTranslator {
public:
    static const HKL kLatin;
    static const HKL kCyrillic;

    // Installs itself as the program's translator while it lives.
    FakeLayouts();
    ~FakeLayouts() override;
    FakeLayouts(const FakeLayouts&) = delete;
    FakeLayouts& operator=(const FakeLayouts&) = delete;

    int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* buffer, int size,
                  UINT flags, HKL layout) override;
    UINT mapVirtualKey(UINT code, UINT mapType, HKL layout) override;

    // The calling thread's pending accent, 0 for none.
    wchar_t pendingAccent();
    // How many translations were asked for, from any thread.
    int translations() const { return translationCount; }

private:
    utils::CriticalSection lock;
    std::map<DWORD, wchar_t> pending;
    std::atomic<int> translationCount{0};
};

// A key record as the hook library sends it, for the fake layouts.
struct KeyEvent {
    HKL layout = FakeLayouts::kLatin;
    unsigned scanCode = 0;
    UINT virtualKey = 0; // 0: the layout's key for scanCode
    bool up = false;
    bool repeat = false;
    bool shift = false;
    bool capsLock = false;
    bool altGr = false; // right Alt, which the system reports as Ctrl+Alt
    bool ctrl = false;  // Ctrl alone, which turns letters into control characters

    KeyInfoWrapper make() const;
};

} // namespace keywhirl::testing
