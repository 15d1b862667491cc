// src/input/KeywhirlController.cpp
#include "input/KeywhirlController.h"

#include "input/Desktop.h"
#include "input/QuietState.h"
#include "utils/ProcessingIndicator.h"
#include "utils/TickCount.h"

#include <algorithm>
#include <cstring>

namespace keywhirl {

using utils::ProcessingIndicator;

KeywhirlController::KeywhirlController(HWND mainWindow)
    : KeywhirlController(mainWindow, keyboard) {}

KeywhirlController::KeywhirlController(HWND mainWindow, Keyboard& keyboardInUse)
    : mainWindow(mainWindow), processing(false), keyboardCommand(kNoCommand),
      layoutCommand(kNoCommand), layout(nullptr), idle(true), keyboardInUse(keyboardInUse) {
    this->keyboardInUse.createWindow(mainWindow);
    metronome.start();
    layout = ::GetKeyboardLayout(0);
}

KeywhirlController::~KeywhirlController() {
    // The thread calls into the members, so it ends before they go.
    stopAndWait();
    keyboardInUse.closeWindow();
}

void KeywhirlController::resume() {
    idle = false;
    Thread::resume();
}

void KeywhirlController::setCommand(int command) {
    if (command == kShowKeyboard || command == kHideKeyboard)
        keyboardCommand = command;
    else if (command == kLayoutChanged)
        layoutCommand = command;
}

void KeywhirlController::postKey(const KeyInfoWrapper& event) {
    bool passPending;
    {
        ProcessingIndicator guard(&processing);
        queue.push_back(event);
        // Until the dispatcher takes its next snapshot it is not idle, and
        // that snapshot takes this event too: waking it again would only
        // cost a system call per key.
        passPending = !idle;
    }
    if (!passPending)
        resume();
}

void KeywhirlController::wake() {
    ProcessingIndicator guard(&processing);
    resume();
}

void KeywhirlController::restartHintWait() {
    keyboardInUse.restartWait();
    wake();
}

void KeywhirlController::setLayout(HKL newLayout) {
    {
        ProcessingIndicator guard(&processing);
        layout = newLayout;
        setCommand(kLayoutChanged);
    }
    resume();
}

void KeywhirlController::toggleKeyboard() {
    {
        ProcessingIndicator guard(&processing);
        setCommand(keyboardInUse.isWindowVisible() ? kHideKeyboard : kShowKeyboard);
    }
    resume();
}

void KeywhirlController::refreshKeyboard() {
    keyboardInUse.hideWindow();
    keyboardInUse.showWindow();
}

void KeywhirlController::addKeyHandler(KeyHandler* handler) {
    ProcessingIndicator guard(&processing);
    handlers.push_back(handler);
}

void KeywhirlController::removeKeyHandler(KeyHandler* handler) {
    ProcessingIndicator guard(&processing);
    handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
}

HWND KeywhirlController::keyboardWindow() {
    return keyboardInUse.getDialog().getSafeHwnd();
}

void KeywhirlController::receive(const COPYDATASTRUCT& data) {
    if (data.dwData == kKeyRecordMessage) {
        if (data.lpData == nullptr || data.cbData < kKeyRecordSizeWithoutTime)
            return;
        KeyRecord record;
        if (data.cbData >= sizeof record) {
            std::memcpy(&record, data.lpData, sizeof record);
        } else {
            // A sender of the first, shorter form: the key is timed now.
            std::memcpy(&record, data.lpData, kKeyRecordSizeWithoutTime);
            record.time = utils::tickCount();
        }
        postKey(KeyInfoWrapper(record));
        // The program's own input layout follows the one the user types in.
        if (::GetKeyboardLayout(0) != record.keyboardLayout)
            ::ActivateKeyboardLayout(record.keyboardLayout, KLF_SETFORPROCESS);
    } else if (data.dwData == kLayoutReportMessage) {
        if (data.lpData == nullptr || data.cbData < kLayoutReportSize)
            return;
        HKL reported;
        std::memcpy(&reported, data.lpData, sizeof reported);
        if (::GetKeyboardLayout(0) != reported)
            ::ActivateKeyboardLayout(reported, KLF_SETFORPROCESS);
        setLayout(reported);
    }
}

QuietLevel KeywhirlController::judgeKeys() {
    QuietState& state = QuietState::current();
    // Paused, or an ignored program: the focused control changes nothing.
    if (state.foregroundLevel() == QuietLevel::NotCounted)
        return QuietLevel::NotCounted;
    Desktop::current().describeFocus(focusFacts);
    state.setFocusLevel(decideQuiet(focusFacts));
    return state.level();
}

void KeywhirlController::process() {
    if (idle)
        // Asleep until the next event, or until the pause the keyboard
        // waits for would be over: nothing wakes the thread in between.
        suspend(keyboardInUse.millisecondsLeft());
    else
        // Events came while the last pass ran; this pass takes them, and
        // the wake-up they sent is spent with it.
        forgetWakeUp();

    HKL passLayout;
    int passKeyboardCommand;
    int passLayoutCommand;
    {
        ProcessingIndicator guard(&processing);
        passLayout = layout;
        passKeyboardCommand = keyboardCommand;
        passLayoutCommand = layoutCommand;
        keyboardCommand = kNoCommand;
        layoutCommand = kNoCommand;
        passEvents.swap(queue);
        passHandlers.assign(handlers.begin(), handlers.end());
        idle = true;
    }

    if (passLayoutCommand == kLayoutChanged)
        keyboardInUse.onLayoutChanged(passLayout);
    if (passKeyboardCommand == kShowKeyboard)
        keyboardInUse.showWindow();
    else if (passKeyboardCommand == kHideKeyboard)
        keyboardInUse.hideWindow();

    const QuietLevel passLevel = passEvents.empty() ? QuietLevel::Normal : judgeKeys();
    for (const KeyInfoWrapper& event : passEvents) {
        // The keyboard still learns that the user types, so that no hint
        // comes in the middle of it; nothing else sees an uncounted key.
        keyboardInUse.handleKey(event);
        if (passLevel == QuietLevel::NotCounted)
            continue;
        for (KeyHandler* handler : passHandlers)
            handler->handleKey(event);
    }
    passEvents.clear();

    keyboardInUse.check();
}

} // namespace keywhirl
