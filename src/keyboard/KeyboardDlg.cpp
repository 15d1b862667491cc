// src/keyboard/KeyboardDlg.cpp
#include "keyboard/KeyboardDlg.h"

namespace keywhirl {

namespace {
constexpr int kKeyboardTemplate = 129;

INT_PTR CALLBACK keyboardProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
} // namespace

KeyboardDlg::~KeyboardDlg() {
    HWND handle = window.exchange(nullptr);
    if (handle && ::IsWindow(handle))
        ::DestroyWindow(handle);
}

void KeyboardDlg::addCommand(commands::Command* command) {
    commands.push_back(command);
}

bool KeyboardDlg::create(HWND owner) {
    HWND handle = ::CreateDialogParamW(::GetModuleHandleW(nullptr),
                                       MAKEINTRESOURCEW(kKeyboardTemplate), owner, keyboardProc, 0);
    window = handle;
    return handle != nullptr;
}

bool KeyboardDlg::exists() const {
    HWND handle = window.load();
    return handle && ::IsWindow(handle);
}

void KeyboardDlg::startFade(bool show) {
    if (!exists())
        return;
    ::ShowWindow(window, show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void KeyboardDlg::hideToTray() {
    if (exists() && ::IsWindowVisible(window))
        ::ShowWindow(window, SW_HIDE);
}

void KeyboardDlg::restoreFromTray() {
    if (exists() && !::IsWindowVisible(window))
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
}

void KeyboardDlg::setLayout(HKL) {
    if (exists())
        ::InvalidateRect(window, nullptr, FALSE);
}

void KeyboardDlg::onKey(const KeyInfoWrapper&) {}

} // namespace keywhirl
