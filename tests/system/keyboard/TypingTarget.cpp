// tests/system/keyboard/TypingTarget.cpp
#include "TypingTarget.h"

#include <cstdio>

namespace keywhirl::testing {

namespace {
const wchar_t kClassName[] = L"KeywhirlTypingTarget";
const UINT_PTR kTimeLimitTimer = 1;
const int kEditId = 100;
} // namespace

const wchar_t TypingTarget::kTitle[] = L"Keywhirl hint typing target";

TypingTarget::TypingTarget(const std::wstring& outputFile) : outputFile(outputFile) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);
    window = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 60, 60, 420, 160,
                               nullptr, nullptr, windowClass.hInstance, this);
    if (!window)
        return;
    edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                             10, 10, 380, 28, window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                             windowClass.hInstance, nullptr);
    save();
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    ::SetForegroundWindow(window);
    ::SetFocus(edit);
}

TypingTarget::~TypingTarget() {
    if (window && ::IsWindow(window))
        ::DestroyWindow(window);
}

void TypingTarget::run(DWORD milliseconds) {
    if (!window)
        return;
    ::SetTimer(window, kTimeLimitTimer, milliseconds, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

LRESULT CALLBACK TypingTarget::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TypingTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (self && LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE)
            self->save();
        return 0;
    case WM_ACTIVATE:
        // Keys must reach the edit whenever the window comes to the front.
        if (self && self->edit && LOWORD(wParam) != WA_INACTIVE)
            ::SetFocus(self->edit);
        return 0;
    case WM_TIMER:
        if (wParam == kTimeLimitTimer)
            ::DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (self) {
            self->save();
            self->window = nullptr;
        }
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void TypingTarget::save() const {
    wchar_t text[1024] = {};
    if (edit && ::IsWindow(edit))
        ::GetWindowTextW(edit, text, 1024);
    // Written beside and then moved, so a reader never sees half a file.
    std::wstring partial = outputFile + L".part";
    FILE* file = ::_wfopen(partial.c_str(), L"wb");
    if (!file)
        return;
    for (const wchar_t* c = text; *c; ++c)
        std::fputc(*c < 0x80 ? static_cast<char>(*c) : '?', file);
    std::fclose(file);
    ::MoveFileExW(partial.c_str(), outputFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace keywhirl::testing
