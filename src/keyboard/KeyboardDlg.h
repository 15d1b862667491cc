// src/keyboard/KeyboardDlg.h - the window that shows the keyboard picture.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "keyboard/Command.h"

#include <windows.h>

#include <atomic>
#include <vector>

namespace keywhirl {

// The first cut of the keyboard window: it is created from its dialog
// template and shown and hidden on request. The picture, labels, fader and
// tray animation build on this.
class KeyboardDlg {
public:
    KeyboardDlg() = default;
    KeyboardDlg(const KeyboardDlg&) = delete;
    KeyboardDlg& operator=(const KeyboardDlg&) = delete;
    virtual ~KeyboardDlg();

    void addCommand(commands::Command* command);
    // Creates the modeless window, hidden, owned by the given window.
    bool create(HWND owner);
    HWND getSafeHwnd() const { return window.load(); }

    void startFade(bool show);
    void hideToTray();
    void restoreFromTray();
    void setLayout(HKL layout);
    void onKey(const KeyInfoWrapper& event);

private:
    bool exists() const;

    std::atomic<HWND> window{nullptr};
    std::vector<commands::Command*> commands;
};

} // namespace keywhirl
