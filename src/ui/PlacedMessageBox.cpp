// src/ui/PlacedMessageBox.cpp
#include "ui/PlacedMessageBox.h"

#include "ui/Desktop.h"
#include "utils/Handles.h"

namespace keywhirl::ui {

namespace {

// The box being shown on this thread; the hook is set on this thread only.
thread_local POINT boxPoint{};
thread_local bool boxPending = false;

LRESULT CALLBACK placeWhenActivated(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && boxPending) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        ::GetClassNameW(box, className, 16);
        RECT rect;
        // The first dialog activated on this thread is the box.
        if (std::wstring(className) == L"#32770" && ::GetWindowRect(box, &rect)) {
            boxPending = false;
            const RECT placed = Desktop::current().centredAt(
                boxPoint, SIZE{rect.right - rect.left, rect.bottom - rect.top});
            ::SetWindowPos(box, nullptr, placed.left, placed.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

POINT PlacedMessageBox::anchorPoint(HWND owner) {
    RECT rect;
    if (owner && ::IsWindowVisible(owner) && ::GetWindowRect(owner, &rect))
        return POINT{rect.left + (rect.right - rect.left) / 2,
                     rect.top + (rect.bottom - rect.top) / 2};
    POINT cursor{0, 0};
    ::GetCursorPos(&cursor);
    return cursor;
}

int PlacedMessageBox::show(HWND owner, const std::wstring& text, const std::wstring& caption,
                           UINT flags) {
    boxPoint = anchorPoint(owner);
    boxPending = true;
    utils::UniqueHook hook(
        ::SetWindowsHookExW(WH_CBT, placeWhenActivated, nullptr, ::GetCurrentThreadId()));
    const int answer = ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    boxPending = false;
    return answer;
}

} // namespace keywhirl::ui
