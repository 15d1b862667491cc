// bench/floors/FloorForward.cpp - bench_floor_forward: the hook floor whose
// hook sends every key, as a key record's WM_COPYDATA, to the hidden window
// of the main thread. The least a hook that hands its keys to a window costs.
// Unlike Keywhirl's hook library, which queues the records to a thread of its
// own, this hook sends them itself, so the send's time falls on the key.
#include "Floor.h"
#include "input/KeyRecord.h"

#include <cstring>

namespace {

using keywhirl::KeyRecord;
namespace floors = keywhirl::bench::floors;

// The hook library's time-out for one record.
constexpr UINT kSendTimeoutMilliseconds = 200;

HWND window = nullptr;
// The last records received, so that receiving copies them as a receiver
// would; nothing reads them.
KeyRecord received[16];
unsigned receivedCount = 0;

LRESULT CALLBACK windowProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == keywhirl::kKeyRecordMessage && data->cbData == sizeof(KeyRecord))
            std::memcpy(&received[receivedCount++ % 16], data->lpData, sizeof(KeyRecord));
        return TRUE;
    }
    return floors::closingWindowProc(target, message, wParam, lParam);
}

LRESULT CALLBACK forward(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && window) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        bool released = message == WM_KEYUP || message == WM_SYSKEYUP;
        KeyRecord record = {};
        record.virtualKey = info->vkCode;
        record.keyData = 1 | ((info->scanCode & 0xFF) << 16) |
                         ((info->flags & LLKHF_EXTENDED) ? 1u << 24 : 0) |
                         (released ? 3u << 30 : 0);
        COPYDATASTRUCT copy;
        copy.dwData = keywhirl::kKeyRecordMessage;
        copy.cbData = sizeof record;
        copy.lpData = &record;
        DWORD_PTR result;
        ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                              SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMilliseconds, &result);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace

int main() {
    return floors::runFloor(L"Keywhirl floor forward", windowProc, forward, &window);
}
