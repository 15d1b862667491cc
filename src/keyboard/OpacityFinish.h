// src/keyboard/OpacityFinish.h - hides a window once its fade has ended fully transparent.
#pragma once

#include "keyboard/OpacityChanger.h"
#include "ui/Window.h"

namespace keywhirl {

class OpacityFinish : public ActionListener<OpacityChanger> {
public:
    // The window object is not owned; its handle is read at each call, so
    // it may be created and destroyed while the listener lives.
    explicit OpacityFinish(const ui::Window* window) : window(window) {}

    // Runs on the fader's thread; the window is hidden without waiting for
    // its own thread.
    void onAction(OpacityChanger& fader) override;

private:
    const ui::Window* window;
};

} // namespace keywhirl
