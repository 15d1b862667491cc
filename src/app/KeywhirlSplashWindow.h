// src/app/KeywhirlSplashWindow.h - the program's own splash picture.
#pragma once

#include "app/CSplashWnd.h"

namespace keywhirl {

class KeywhirlSplashWindow : public CSplashWnd {
public:
    KeywhirlSplashWindow();
};

} // namespace keywhirl
