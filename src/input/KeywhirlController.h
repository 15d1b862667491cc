// src/input/KeywhirlController.h - delivers key events and keyboard commands on a thread of its
// own.
#pragma once

#include "input/KeyHandler.h"
#include "input/QuietDecision.h"
#include "keyboard/Keyboard.h"
#include "sound/Metronome.h"
#include "utils/Thread.h"

#include <atomic>
#include <vector>

namespace keywhirl {

// The main window's thread hands over key events and commands; the
// dispatcher thread delivers them, oldest first, to the keyboard and then
// to the key handlers, and suspends itself when nothing is left.
class KeywhirlController : public utils::Thread {
public:
    explicit KeywhirlController(HWND mainWindow);
    ~KeywhirlController() override;

    void process() override;
    void resume() override;

    // Everything below is called on the main window's thread.
    void postKey(const KeyInfoWrapper& event);
    void wake();
    // The keyboard's wait for a pause starts anew, and the dispatcher sleeps
    // until the new pause would be over.
    void restartHintWait();
    void setLayout(HKL newLayout);
    void toggleKeyboard();
    // Hides and at once shows the keyboard on the calling thread.
    void refreshKeyboard();
    void addKeyHandler(KeyHandler* handler);
    void removeKeyHandler(KeyHandler* handler);
    HWND keyboardWindow();
    // The keyboard window object, for settings that its picture shows.
    KeyboardDlg& keyboardDialog() { return keyboardInUse.getDialog(); }
    // Ends the metronome's thread. The main window does so at shutdown,
    // before the settings whose interval the metronome reads are destroyed.
    void stopMetronome() { metronome.stopNow(); }
    // After metronomeRunning was switched: a switched-off metronome sleeps.
    void wakeMetronome() { metronome.wake(); }

    // The main window's WM_COPYDATA: key records and layout reports of the
    // hook library. Payloads shorter than their record are ignored; a key
    // record of the first form, without the key's time, is timed on arrival.
    void receive(const COPYDATASTRUCT& data);

protected:
    // Lets a test watch the dispatcher through a keyboard of its own.
    KeywhirlController(HWND mainWindow, Keyboard& keyboardInUse);

private:
    enum Command { kNoCommand = 0, kShowKeyboard = 1, kHideKeyboard = 2, kLayoutChanged = 3 };

    // Stores a pending command; the caller holds the guard.
    void setCommand(int command);
    // The quiet level of the keys of this pass: the foreground's, or what
    // the control with the keyboard focus adds to it.
    QuietLevel judgeKeys();

    HWND mainWindow;
    std::atomic<bool> processing;
    int keyboardCommand;
    int layoutCommand;
    Keyboard keyboard;
    Metronome metronome;
    std::vector<KeyInfoWrapper> queue;
    std::vector<KeyHandler*> handlers;
    HKL layout;
    std::atomic<bool> idle;

    Keyboard& keyboardInUse;
    // Used by the dispatcher thread only: the events and handlers of the
    // current pass, kept between passes so a pass allocates nothing.
    std::vector<KeyInfoWrapper> passEvents;
    std::vector<KeyHandler*> passHandlers;
    // Only the focused control's facts are filled in.
    DesktopFacts focusFacts;
};

} // namespace keywhirl
