// src/ui/SubclassedWindow.cpp
#include "ui/SubclassedWindow.h"

namespace keywhirl::ui {

namespace {

const wchar_t kObjectProperty[] = L"Keywhirl.SubclassedWindow";
const wchar_t kPreviousProperty[] = L"Keywhirl.PreviousWindowProc";

WNDPROC previousOf(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProperty));
}

LRESULT forward(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (previous == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

} // namespace

SubclassedWindow::~SubclassedWindow() {
    unsubclass();
}

bool SubclassedWindow::subclass(HWND window) {
    if (isSubclassed() || window == nullptr || !::IsWindow(window))
        return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() || ::GetPropW(window, kObjectProperty) != nullptr)
        return false;

    // A link of ours left in the chain by an earlier unsubclass is reused.
    if (previousOf(window) == nullptr) {
        const LONG_PTR current = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
        // The property is in place before the first message can reach our procedure.
        if (current == 0 ||
            !::SetPropW(window, kPreviousProperty, reinterpret_cast<HANDLE>(current)))
            return false;
        const LONG_PTR replaced =
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
        if (replaced == 0) {
            ::RemovePropW(window, kPreviousProperty);
            return false;
        }
        ::SetPropW(window, kPreviousProperty, reinterpret_cast<HANDLE>(replaced));
    }
    if (!::SetPropW(window, kObjectProperty, this))
        return false;
    Window::attach(window);
    return true;
}

bool SubclassedWindow::subclassItem(HWND dialog, int id) {
    return subclass(::GetDlgItem(dialog, id));
}

void SubclassedWindow::unsubclass() {
    const HWND window = Window::detach();
    if (window == nullptr || !::IsWindow(window))
        return;
    if (::GetPropW(window, kObjectProperty) == this)
        ::RemovePropW(window, kObjectProperty);
    // Restoring the previous procedure under a later one would cut that one
    // off; then our procedure stays as a plain forwarding link.
    if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&windowProc)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousOf(window)));
        ::RemovePropW(window, kPreviousProperty);
    }
}

SubclassedWindow* SubclassedWindow::fromHandle(HWND window) {
    if (window == nullptr)
        return nullptr;
    return static_cast<SubclassedWindow*>(::GetPropW(window, kObjectProperty));
}

bool SubclassedWindow::onReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool SubclassedWindow::onMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT SubclassedWindow::callPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = handle();
    return forward(previousOf(window), window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    const WNDPROC previous = previousOf(window);
    auto* self = static_cast<SubclassedWindow*>(::GetPropW(window, kObjectProperty));

    if (message == WM_NCDESTROY) {
        // Out of the chain and the properties gone before the window is, so
        // nothing of ours outlives it.
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&windowProc))
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropW(window, kObjectProperty);
        ::RemovePropW(window, kPreviousProperty);
        if (self != nullptr)
            self->Window::detach();
        const LRESULT result = forward(previous, window, message, wParam, lParam);
        if (self != nullptr) {
            try {
                self->onFinalMessage();
            } catch (...) {
            }
        }
        return result;
    }

    if (self != nullptr) {
        LRESULT result = 0;
        try {
            if (self->onMessage(message, wParam, lParam, result))
                return result;
        } catch (...) {
            // Falls back to the previous procedure's handling.
        }
    }
    // The object may be gone now; previous was read before it was called.
    return forward(previous, window, message, wParam, lParam);
}

} // namespace keywhirl::ui
