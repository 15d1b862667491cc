// bench/floors/Floor.h - what the reference programs share: a hidden window
// with a message loop, the started event and a low-level keyboard hook on a
// thread of its own. Each floor is one of these parts more than the last, so
// that Keywhirl's figures can be held against what the platform costs anyway.
#pragma once

#include "app/StartedSignal.h"
#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl::bench::floors {

// Ends the program on WM_CLOSE, as Keywhirl's main window does; everything
// else goes to the platform.
inline LRESULT CALLBACK closingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// A top-level window that is never shown, found by scripts by its title.
inline HWND createHiddenWindow(const wchar_t* title, WNDPROC procedure = closingWindowProc) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KeywhirlFloor";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, windowClass.lpszClassName, title, WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
}

// Sets the manual-reset event Keywhirl sets at the end of its start, under
// the same name, so that whoever times a start waits for both alike. The
// event lives as long as the process.
inline void announceStarted() {
    static utils::UniqueHandle started(::CreateEventW(
        nullptr, TRUE, FALSE, StartedSignal::nameFor(::GetCurrentProcessId()).c_str()));
    if (started)
        ::SetEvent(started.get());
}

inline int runMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

namespace detail {
struct HookStart {
    HOOKPROC procedure;
    HANDLE ready;
    bool installed;
};

// A low-level hook is called through the message loop of the thread that
// installed it; like Keywhirl's hook library, this thread does nothing else.
inline DWORD WINAPI hookThreadMain(void* parameter) {
    auto* start = static_cast<HookStart*>(parameter);
    HHOOK hook =
        ::SetWindowsHookExW(WH_KEYBOARD_LL, start->procedure, ::GetModuleHandleW(nullptr), 0);
    start->installed = hook != nullptr;
    ::SetEvent(start->ready);
    if (!hook)
        return 1;
    runMessageLoop();
    ::UnhookWindowsHookEx(hook);
    return 0;
}
} // namespace detail

// Installs the hook on a new thread and waits until it is in place. The
// thread ends with the process.
inline bool startHookThread(HOOKPROC procedure) {
    utils::UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    detail::HookStart start{procedure, ready.get(), false};
    utils::UniqueHandle thread(
        ::CreateThread(nullptr, 0, detail::hookThreadMain, &start, 0, nullptr));
    if (!ready || !thread)
        return false;
    ::WaitForSingleObject(ready.get(), INFINITE);
    return start.installed;
}

// The whole of a floor: its window, its hook if it has one, the started
// event, the message loop. Returns the exit code.
inline int runFloor(const wchar_t* title, WNDPROC procedure = closingWindowProc,
                    HOOKPROC hook = nullptr, HWND* window = nullptr) {
    HWND created = createHiddenWindow(title, procedure);
    if (!created)
        return 1;
    if (window)
        *window = created;
    if (hook && !startHookThread(hook))
        return 1;
    announceStarted();
    return runMessageLoop();
}

} // namespace keywhirl::bench::floors
