// src/keyboard/Keyboard.cpp
#include "keyboard/Keyboard.h"

#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"
#include "input/QuietState.h"
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

Keyboard::Keyboard() : Keyboard(dialog) {}

// The reference is only stored here; the member it may name is built before
// any use.
Keyboard::Keyboard(KeyboardDlg& dialogInUse)
    : TimeChecker(&Settings::instance()->keyboardWaitInterval), owner(nullptr),
      dialogInUse(dialogInUse) {
    minimizeCommandHolder = std::make_unique<commands::MinimizeKeyboardCommand>(this);
    closeCommandHolder = std::make_unique<commands::CloseKeyboardCommand>(this);
}

void Keyboard::createWindow(HWND ownerWindow) {
    owner = ownerWindow;
    dialogInUse.addCommand(minimizeCommandHolder.get());
    dialogInUse.addCommand(closeCommandHolder.get());
    dialogInUse.create(owner);
    if (Settings::instance()->keyboardIsVisible.load(std::memory_order_relaxed))
        dialogInUse.restoreFromTray();
}

void Keyboard::closeWindow() {
    HWND window = dialogInUse.getSafeHwnd();
    if (window && ::IsWindow(window))
        ::DestroyWindow(window);
    if (owner && ::IsWindow(owner))
        ::SendMessageW(owner, WM_CLOSE, 0, 0);
    owner = nullptr;
}

bool Keyboard::isWindowVisible() {
    HWND window = dialogInUse.getSafeHwnd();
    return window && ::IsWindowVisible(window) == TRUE;
}

void Keyboard::showWindow() {
    dialogInUse.restoreFromTray();
    restartWait();
}

void Keyboard::hideWindow() {
    restartWait();
    dialogInUse.hideToTray();
}

void Keyboard::restartWait() {
    reset();
    putOff = false;
    waitingForKey = false;
}

void Keyboard::onLayoutChanged(HKL layout) {
    dialogInUse.setLayout(layout);
}

KeyboardDlg& Keyboard::getDialog() {
    return dialogInUse;
}

void Keyboard::handleKey(const KeyInfoWrapper& event) {
    bool typing = !event.isKeyUp() && !event.isModifier();
    if (typing) {
        if (autoPopupping())
            dialogInUse.startFade(false);
        restartWait();
    }
    dialogInUse.onKey(event);
}

void Keyboard::check() {
    if (!waitingForKey.load(std::memory_order_relaxed))
        TimeChecker::check();
}

DWORD Keyboard::millisecondsLeft() const {
    if (waitingForKey.load(std::memory_order_relaxed))
        return INFINITE;
    DWORD left = TimeChecker::millisecondsLeft();
    if (putOff.load(std::memory_order_relaxed) && left < kPutOffRecheck)
        return kPutOffRecheck;
    return left;
}

void Keyboard::onTimeElapsed() {
    putOff = false;
    if (!autoPopupping()) {
        waitingForKey = true;
        return;
    }
    // A modal dialog of ours (settings, about, a message) disables its
    // owner, the main window: the hint must not cover it. The wait starts
    // again, so the hint comes a full pause after the dialog has closed.
    // Nor a full-screen program, a password field, an ignored program or
    // the pause.
    if ((owner && ::IsWindow(owner) && !::IsWindowEnabled(owner)) ||
        !QuietState::current().allowsShowing()) {
        reset();
        putOff = true;
        return;
    }
    dialogInUse.startFade(true);
    waitingForKey = true;
}

} // namespace keywhirl
