// src/app/KeywhirlSplashWindow.cpp
#include "app/KeywhirlSplashWindow.h"

namespace keywhirl {

namespace {
constexpr WORD kSplashPicture = 154; // 650 x 635, 24 bits per pixel
}

KeywhirlSplashWindow::KeywhirlSplashWindow() {
    resourceId = kSplashPicture;
    dropShadow = true;
}

} // namespace keywhirl
