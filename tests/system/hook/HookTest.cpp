// tests/system/hook/HookTest.cpp - real X key events through Keywhirl.dll.
#include "input/KeyRecord.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace keywhirl {
namespace {

using HookFunction = int(WINAPI*)(HWND);

struct Received {
    ULONG_PTR kind;
    KeyRecord record;
};

std::vector<Received> received;
bool escapeReleased = false;

LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        Received entry{data->dwData, {}};
        std::memcpy(&entry.record, data->lpData,
                    data->cbData < sizeof(KeyRecord) ? data->cbData : sizeof(KeyRecord));
        received.push_back(entry);
        if (data->dwData == kKeyRecordMessage && entry.record.virtualKey == VK_ESCAPE &&
            (entry.record.keyData & 0x80000000u))
            escapeReleased = true;
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND createRecorderWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = recorderProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KeywhirlHookRecorder";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, L"KeywhirlHookRecorder", L"Keywhirl hook test",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    return window;
}

void signalReady() {
    FILE* file = std::fopen("hook-ready", "w");
    if (file)
        std::fclose(file);
}

void pumpUntilEscapeOrTimeout(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    while (!escapeReleased && ::GetTickCount() - start < milliseconds) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool isDown(const KeyRecord& record, int key) {
    return (record.keyState[key] & 0x80) != 0;
}
bool isToggled(const KeyRecord& record, int key) {
    return (record.keyState[key] & 0x01) != 0;
}
bool released(const KeyRecord& record) {
    return (record.keyData & 0x80000000u) != 0;
}
bool previouslyDown(const KeyRecord& record) {
    return (record.keyData & 0x40000000u) != 0;
}
unsigned scanCode(const KeyRecord& record) {
    return (record.keyData >> 16) & 0xFF;
}

// The first record of the given key and direction, or null.
const KeyRecord* find(UINT virtualKey, bool up, int occurrence = 0) {
    for (const Received& entry : received) {
        if (entry.kind == kKeyRecordMessage && entry.record.virtualKey == virtualKey &&
            released(entry.record) == up && occurrence-- == 0)
            return &entry.record;
    }
    return nullptr;
}

TEST(KeywhirlHook, TypedKeysArriveWithScanCodesFlagsShiftAndCapsLockState) {
    HWND window = createRecorderWindow();
    ASSERT_NE(window, nullptr);

    HMODULE library = ::LoadLibraryW((testing::programOutputFolder() + L"\\Keywhirl.dll").c_str());
    ASSERT_NE(library, nullptr);
    auto setHook = reinterpret_cast<HookFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "setKeywhirlHook")));
    auto clearHook = reinterpret_cast<HookFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "clearKeywhirlHook")));
    ASSERT_NE(setHook, nullptr);
    ASSERT_NE(clearHook, nullptr);

    ASSERT_NE(setHook(window), 0);
    EXPECT_NE(setHook(window), 0) << "a second call is harmless";
    signalReady();

    pumpUntilEscapeOrTimeout(30000);
    EXPECT_NE(clearHook(window), 0);
    EXPECT_NE(clearHook(window), 0) << "a second call is harmless";
    ASSERT_TRUE(escapeReleased) << "the typed keys never arrived; got " << received.size();

    HKL layout = ::GetKeyboardLayout(0);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().kind, kLayoutReportMessage) << "the layout is reported first";
    EXPECT_EQ(received.front().record.keyboardLayout, layout);
    int layoutReports = 0;
    for (const Received& entry : received) {
        if (entry.kind == kLayoutReportMessage)
            ++layoutReports;
        else
            EXPECT_EQ(entry.record.keyboardLayout, layout);
    }
    EXPECT_EQ(layoutReports, 1) << "an unchanged layout is reported once";

    const KeyRecord* aDown = find('A', false);
    const KeyRecord* aUp = find('A', true);
    ASSERT_NE(aDown, nullptr);
    ASSERT_NE(aUp, nullptr);
    EXPECT_EQ(scanCode(*aDown), 0x1Eu);
    EXPECT_EQ(aDown->keyData & 0xFFFF, 1u) << "repeat count";
    EXPECT_FALSE(previouslyDown(*aDown));
    EXPECT_TRUE(isDown(*aDown, 'A'));
    EXPECT_FALSE(isDown(*aDown, VK_SHIFT));
    EXPECT_TRUE(previouslyDown(*aUp)) << "a release follows a press";
    EXPECT_FALSE(isDown(*aUp, 'A'));

    const KeyRecord* shiftDown = find(VK_SHIFT, false);
    const KeyRecord* bDown = find('B', false);
    ASSERT_NE(shiftDown, nullptr) << "Shift arrives as the generic key, as in a key message";
    ASSERT_NE(bDown, nullptr);
    EXPECT_EQ(scanCode(*shiftDown), 0x2Au);
    EXPECT_TRUE(isDown(*shiftDown, VK_SHIFT));
    EXPECT_TRUE(isDown(*shiftDown, VK_LSHIFT));
    EXPECT_EQ(scanCode(*bDown), 0x30u);
    EXPECT_TRUE(isDown(*bDown, VK_SHIFT));
    const KeyRecord* shiftUp = find(VK_SHIFT, true);
    ASSERT_NE(shiftUp, nullptr);
    EXPECT_FALSE(isDown(*shiftUp, VK_SHIFT));

    const KeyRecord* capsOn = find(VK_CAPITAL, false, 0);
    const KeyRecord* cDown = find('C', false);
    const KeyRecord* capsOff = find(VK_CAPITAL, false, 1);
    ASSERT_NE(capsOn, nullptr);
    ASSERT_NE(cDown, nullptr);
    ASSERT_NE(capsOff, nullptr);
    EXPECT_TRUE(isToggled(*capsOn, VK_CAPITAL));
    EXPECT_TRUE(isToggled(*cDown, VK_CAPITAL));
    EXPECT_FALSE(isDown(*cDown, VK_SHIFT));
    EXPECT_FALSE(isToggled(*capsOff, VK_CAPITAL));

    ::DestroyWindow(window);
    ::FreeLibrary(library);
}

} // namespace
} // namespace keywhirl
