// src/keyboard/Keyboard.cpp
#include "keyboard/Keyboard.h"

#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"
#include "settings/Settings.h"

#include <memory>

namespace keywhirl {

namespace {
// Each holder owns the command of its kind; a new keyboard's command
// replaces the old one, and what is left goes at program exit.
std::unique_ptr<commands::MinimizeKeyboardCommand> minimizeCommandHolder;
std::unique_ptr<commands::CloseKeyboardCommand> closeCommandHolder;

bool autoPopupping() {
    return Settings::instance()->keyboardAutoPopupping.load(std::memory_order_relaxed);
}
} // namespace

Keyboard::Keyboard() : TimeChecker(&Settings::instance()->keyboardWaitInterval), owner(nullptr) {
    minimizeCommandHolder = std::make_unique<commands::MinimizeKeyboardCommand>(this);
    closeCommandHolder = std::make_unique<commands::CloseKeyboardCommand>(this);
}

void Keyboard::createWindow(HWND ownerWindow) {
    owner = ownerWindow;
    dialog.addCommand(minimizeCommandHolder.get());
    dialog.addCommand(closeCommandHolder.get());
    dialog.create(owner);
    if (Settings::instance()->keyboardIsVisible.load(std::memory_order_relaxed))
        dialog.restoreFromTray();
}

void Keyboard::closeWindow() {
    HWND window = dialog.getSafeHwnd();
    if (window && ::IsWindow(window))
        ::DestroyWindow(window);
    if (owner && ::IsWindow(owner))
        ::SendMessageW(owner, WM_CLOSE, 0, 0);
    owner = nullptr;
}

bool Keyboard::isWindowVisible() {
    HWND window = dialog.getSafeHwnd();
    return window && ::IsWindowVisible(window) == TRUE;
}

void Keyboard::showWindow() {
    dialog.restoreFromTray();
    reset();
}

void Keyboard::hideWindow() {
    reset();
    dialog.hideToTray();
}

void Keyboard::onLayoutChanged(HKL layout) {
    dialog.setLayout(layout);
}

KeyboardDlg& Keyboard::getDialog() {
    return dialog;
}

void Keyboard::handleKey(const KeyInfoWrapper& event) {
    bool typing = !event.isKeyUp() && !event.isModifier();
    if (typing) {
        if (autoPopupping())
            dialog.startFade(false);
        reset();
    }
    dialog.onKey(event);
}

void Keyboard::onTimeElapsed() {
    if (!autoPopupping())
        return;
    dialog.startFade(true);
    reset();
}

} // namespace keywhirl
