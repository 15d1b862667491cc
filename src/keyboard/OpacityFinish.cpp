// src/keyboard/OpacityFinish.cpp
#include "keyboard/OpacityFinish.h"

#include "keyboard/ShowWindowSafely.h"

namespace keywhirl {

void OpacityFinish::onAction(OpacityChanger& fader) {
    if (window && fader.getAlpha() == 0)
        showWindowSafely(window->handle(), SW_HIDE);
}

} // namespace keywhirl
