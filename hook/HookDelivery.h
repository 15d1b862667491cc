// hook/HookDelivery.h - hands key records to the program's window from a thread of its own.
#pragma once

#include "input/KeyRecord.h"
#include "ui/Handles.h"
#include "utils/CriticalSection.h"

#include <windows.h>

#include <vector>

namespace keywhirl::hook {

// The hook procedure only appends to a queue; this thread sends the
// messages, each with a bounded wait, so a busy or hung program never
// holds up the system's keyboard input.
class HookDelivery {
public:
    HookDelivery();
    ~HookDelivery();
    HookDelivery(const HookDelivery&) = delete;
    HookDelivery& operator=(const HookDelivery&) = delete;

    bool start(HWND target);
    // Ends the thread; a message being sent finishes or times out first.
    void stop();
    void setTarget(HWND target);

    void pushKey(const KeyRecord& record);
    void pushLayout(HKL layout);

    static constexpr UINT kSendTimeoutMilliseconds = 200;
    // While the program does not take its messages, at most this many wait;
    // later ones are dropped rather than filling memory.
    static constexpr size_t kMaximumPending = 4096;
    // Address space kept for the stack of each of the library's threads,
    // which only queue and send small records.
    static constexpr SIZE_T kStackReservation = 128 * 1024;

private:
    struct Message {
        ULONG_PTR kind;
        KeyRecord record; // a layout report uses keyboardLayout only
    };

    static DWORD WINAPI threadMain(void* self);
    void deliverAll();
    bool isStopping();
    void push(const Message& message);

    utils::CriticalSection lock;
    std::vector<Message> pending; // guarded by lock
    std::vector<Message> sending; // delivery thread only
    HWND target;                  // guarded by lock
    bool stopping;                // guarded by lock
    ui::UniqueHandle wakeEvent;
    ui::UniqueHandle thread;
};

} // namespace keywhirl::hook
