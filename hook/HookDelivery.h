// hook/HookDelivery.h - turns the hook's key events into key records and hands
// them to the program's window from a thread of its own.
#pragma once

#include "KeyStateTracker.h"
#include "input/KeyRecord.h"
#include "utils/Handles.h"
#include "utils/CriticalSection.h"

#include <windows.h>

#include <vector>

namespace keywhirl::hook {

// The hook procedure only appends the system's event to a queue: every key
// the user types waits for the hook, so it does no more. This thread looks
// up the foreground layout, keeps the key state, reports layout changes and
// sends the records, each with a bounded wait, so a busy or hung program
// never holds up the system's keyboard input.
class HookDelivery {
public:
    HookDelivery();
    ~HookDelivery();
    HookDelivery(const HookDelivery&) = delete;
    HookDelivery& operator=(const HookDelivery&) = delete;

    // Takes the key state from the system and starts the thread.
    bool start(HWND target);
    // Ends the thread; a message being sent finishes or times out first.
    void stop();
    void setTarget(HWND target);

    // Called by the hook procedure.
    void pushKey(const LowLevelKey& key);

    static constexpr UINT kSendTimeoutMilliseconds = 200;
    // The key the hook has just let go gets this head start before the
    // records are sent: the sending and the program's work on the record
    // then do not compete with the key on its way to the program the user
    // types in (under Wine this brings the hook's cost to a keystroke
    // down to that of a hook that only forwards the key).
    // Keys that come meanwhile go out together.
    static constexpr DWORD kHeadStartMilliseconds = 2;
    // While the program does not take its messages, at most this many wait;
    // later ones are dropped rather than filling memory.
    static constexpr size_t kMaximumPending = 4096;
    // Address space kept for the stack of each of the library's threads,
    // which only queue and send small records.
    static constexpr SIZE_T kStackReservation = 128 * 1024;

private:
    static DWORD WINAPI threadMain(void* self);
    void deliverAll();
    bool isStopping();
    void send(HWND window, ULONG_PTR kind, const void* data, DWORD size);

    utils::CriticalSection lock;
    std::vector<LowLevelKey> pending; // guarded by lock
    HWND target;                      // guarded by lock
    bool stopping;                    // guarded by lock
    // Used by the delivery thread only.
    std::vector<LowLevelKey> sending;
    KeyStateTracker tracker;
    HKL lastReportedLayout = nullptr;
    bool layoutReported = false;
    utils::Event wakeEvent;
    utils::UniqueHandle thread;
};

} // namespace keywhirl::hook
