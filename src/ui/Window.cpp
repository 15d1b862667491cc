// src/ui/Window.cpp
#include "ui/Window.h"

namespace keywhirl::ui {

namespace {

std::wstring textOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

} // namespace

bool Window::exists() const {
    const HWND window = handle();
    return window != nullptr && ::IsWindow(window) != FALSE;
}

bool Window::destroy() {
    const HWND window = handle();
    if (window == nullptr)
        return false;
    return ::DestroyWindow(window) != FALSE;
}

bool Window::show(int command) const {
    return ::ShowWindow(handle(), command) != FALSE;
}

bool Window::isVisible() const {
    return ::IsWindowVisible(handle()) != FALSE;
}

bool Window::enable(bool enabled) const {
    // EnableWindow reports the previous state; success is whether it now holds.
    const HWND window = handle();
    ::EnableWindow(window, enabled ? TRUE : FALSE);
    return window != nullptr && (::IsWindowEnabled(window) != FALSE) == enabled;
}

bool Window::setText(const std::wstring& text) const {
    return ::SetWindowTextW(handle(), text.c_str()) != FALSE;
}

std::wstring Window::getText() const {
    return textOf(handle());
}

HWND Window::getItem(int id) const {
    return ::GetDlgItem(handle(), id);
}

bool Window::setItemText(int id, const std::wstring& text) const {
    return ::SetDlgItemTextW(handle(), id, text.c_str()) != FALSE;
}

std::wstring Window::getItemText(int id) const {
    const HWND item = getItem(id);
    return item != nullptr ? textOf(item) : std::wstring();
}

bool Window::move(int x, int y, int width, int height, bool repaint) const {
    return ::MoveWindow(handle(), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
}

bool Window::setPosition(HWND insertAfter, int x, int y, int width, int height, UINT flags) const {
    return ::SetWindowPos(handle(), insertAfter, x, y, width, height, flags) != FALSE;
}

bool Window::getRect(RECT& rect) const {
    return ::GetWindowRect(handle(), &rect) != FALSE;
}

bool Window::getClientRect(RECT& rect) const {
    return ::GetClientRect(handle(), &rect) != FALSE;
}

bool Window::getRectInParent(RECT& rect) const {
    if (!getRect(rect))
        return false;
    // Only a child window lives in its parent's client area; for a pop-up,
    // GetParent names the owner, and its rectangle stays in screen coordinates.
    const HWND window = handle();
    if ((::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0)
        return true;
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

bool Window::invalidate(bool erase) const {
    return ::InvalidateRect(handle(), nullptr, erase ? TRUE : FALSE) != FALSE;
}

bool Window::update() const {
    return ::UpdateWindow(handle()) != FALSE;
}

bool Window::setTimer(UINT_PTR id, UINT milliseconds) const {
    return ::SetTimer(handle(), id, milliseconds, nullptr) != 0;
}

bool Window::killTimer(UINT_PTR id) const {
    return ::KillTimer(handle(), id) != FALSE;
}

LRESULT Window::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(handle(), message, wParam, lParam);
}

bool Window::post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(handle(), message, wParam, lParam) != FALSE;
}

HWND Window::parent() const {
    return ::GetParent(handle());
}

} // namespace keywhirl::ui
