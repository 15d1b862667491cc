// hook/KeyStateTracker.h - turns low-level key events into key records.
#pragma once

#include "input/KeyRecord.h"

namespace keywhirl::hook {

// One low-level key event as the system reports it.
struct LowLevelKey {
    DWORD virtualKey;
    DWORD scanCode;
    bool extended;
    bool altDown;
    bool released;
    // The system's time of the event (GetTickCount's clock).
    DWORD time = 0;
};

// Keeps the 256-byte key state from the events it sees, the way a thread's
// own key state follows its key messages: down bits for every key and for
// the generic Shift, Ctrl and Alt, toggle bits for the three lock keys.
class KeyStateTracker {
public:
    KeyStateTracker();

    // Takes the current state of the whole keyboard from the system.
    void seedFromSystem();
    // Puts the key state of the given byte array in place (tests).
    void seed(const BYTE (&state)[256]);

    // Updates the state with the event and fills the record for it.
    void track(const LowLevelKey& key, HKL layout, KeyRecord& record);

    const BYTE* state() const { return state_; }

private:
    void setDown(UINT virtualKey, bool down);
    void updateGenericModifier(UINT generic, UINT left, UINT right);

    BYTE state_[256];
};

} // namespace keywhirl::hook
