// tests/unit/hook/HookDeliveryTest.cpp
#include "HookDelivery.h"

#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace keywhirl::hook {
namespace {

// A message-only window of the test thread that keeps what it is sent.
class Sink {
public:
    Sink() {
        window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Sink::proc));
    }
    ~Sink() { ::DestroyWindow(window); }

    struct Received {
        ULONG_PTR kind;
        KeyRecord record;
    };
    HWND window;
    std::vector<Received> received;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_COPYDATA)
            return ::DefWindowProcW(window, message, wParam, lParam);
        auto* self = reinterpret_cast<Sink*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        Received entry{data->dwData, {}};
        std::memcpy(&entry.record, data->lpData,
                    data->cbData < sizeof entry.record ? data->cbData : sizeof entry.record);
        self->received.push_back(entry);
        return TRUE;
    }
};

// The hook only queues the system's events; the delivery thread turns them
// into records with the key state they leave, after the layout they were
// typed in, and sends them in the order they came.
TEST(HookDelivery, ReportsTheLayoutFirstThenEveryKeyInOrderWithItsKeyState) {
    Sink sink;
    HookDelivery delivery;
    ASSERT_TRUE(delivery.start(sink.window));
    const LowLevelKey keys[] = {
        {VK_LSHIFT, 0x2A, false, false, false}, {'A', 0x1E, false, false, false},
        {'A', 0x1E, false, false, true},        {VK_LSHIFT, 0x2A, false, false, true},
        {'B', 0x30, false, false, false},
    };
    for (const LowLevelKey& key : keys)
        delivery.pushKey(key);
    ASSERT_TRUE(testing::pumpUntil([&] { return sink.received.size() >= 6; }));
    delivery.stop();

    ASSERT_EQ(sink.received.size(), 6u) << "one layout report, five records";
    EXPECT_EQ(sink.received[0].kind, kLayoutReportMessage);
    // As in key messages, the left and right Shift keys come as VK_SHIFT.
    const UINT expectedKeys[] = {VK_SHIFT, 'A', 'A', VK_SHIFT, 'B'};
    const bool shiftHeld[] = {true, true, true, false, false};
    for (size_t i = 0; i < 5; ++i) {
        const Sink::Received& entry = sink.received[i + 1];
        SCOPED_TRACE(i);
        EXPECT_EQ(entry.kind, kKeyRecordMessage);
        EXPECT_EQ(entry.record.virtualKey, expectedKeys[i]);
        EXPECT_EQ((entry.record.keyState[VK_SHIFT] & 0x80) != 0, shiftHeld[i]);
        EXPECT_EQ((entry.record.keyData >> 31) != 0, keys[i].released);
    }
}

// Keys that wait in the queue together still leave with the times the
// system gave them, not the time they were sent.
TEST(HookDelivery, EveryRecordCarriesTheTimeOfItsKey) {
    Sink sink;
    HookDelivery delivery;
    ASSERT_TRUE(delivery.start(sink.window));
    const DWORD start = ::GetTickCount() - 10000;
    std::vector<DWORD> times;
    for (DWORD i = 0; i < 40; ++i) {
        LowLevelKey key{'A', 0x1E, false, false, (i % 2) != 0};
        key.time = start + i * 50;
        times.push_back(key.time);
        delivery.pushKey(key);
    }
    ASSERT_TRUE(testing::pumpUntil([&] { return sink.received.size() >= 41; }));
    delivery.stop();
    std::vector<DWORD> sent;
    for (const Sink::Received& entry : sink.received)
        if (entry.kind == kKeyRecordMessage)
            sent.push_back(entry.record.time);
    EXPECT_EQ(sent, times);
}

} // namespace
} // namespace keywhirl::hook
