// src/keyboard/Keyboard.h - decides when the keyboard picture is shown and hidden.
#pragma once

#include "input/KeyHandler.h"
#include "keyboard/KeyboardDlg.h"
#include "utils/TimeChecker.h"

namespace keywhirl {

// While the user types steadily the picture keeps out of the way; after a
// pause longer than the wait interval it fades in as a hint, and the next
// typing key press fades it out again.
class Keyboard : public TimeChecker, public KeyHandler {
public:
    Keyboard();
    ~Keyboard() override = default;
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    void onTimeElapsed() override;
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
    KeyboardDlg dialog;
    HWND owner;
    KeyboardDlg& dialogInUse;
};

} // namespace keywhirl
