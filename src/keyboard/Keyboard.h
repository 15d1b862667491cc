// src/keyboard/Keyboard.h - decides when the keyboard picture is shown and hidden.
#pragma once

#include "input/KeyHandler.h"
#include "keyboard/KeyboardDlg.h"
#include "utils/TimeChecker.h"

#include <atomic>

namespace keywhirl {

// While the user types steadily the picture keeps out of the way; after a
// pause longer than the wait interval it fades in as a hint, and the next
// typing key press fades it out again. Once the hint has come (or the pause
// found it switched off) nothing is due until the next typing key, so the
// dispatcher sleeps until then however short the wait interval.
class Keyboard : public TimeChecker, public KeyHandler {
public:
    Keyboard();
    ~Keyboard() override = default;
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    void check() override;
    DWORD millisecondsLeft() const override;
    void onTimeElapsed() override;
    // The hint was switched on: the wait starts anew from now. Any thread.
    void restartWait();
    virtual void onLayoutChanged(HKL layout);
    virtual KeyboardDlg& getDialog();
    void handleKey(const KeyInfoWrapper& event) override;

    virtual void createWindow(HWND ownerWindow);
    // Closing the keyboard ends the program: its owner is the main window.
    virtual void closeWindow();
    virtual bool isWindowVisible();
    virtual void showWindow();
    virtual void hideWindow();

protected:
    // Lets a test watch the keyboard through a window object of its own.
    explicit Keyboard(KeyboardDlg& dialogInUse);

private:
    // While a modal dialog of ours is open the hint is put off, and looked
    // for again no sooner than this, so a short wait does not spin.
    static constexpr DWORD kPutOffRecheck = 50;

    KeyboardDlg dialog;
    HWND owner;
    KeyboardDlg& dialogInUse;
    // Set on the dispatcher thread, cleared by typing or an explicit show,
    // hide or restart from any thread.
    std::atomic<bool> waitingForKey{false};
    std::atomic<bool> putOff{false};
};

} // namespace keywhirl
