// src/app/KeywhirlSplashWindow.h - the program's own splash picture.
#pragma once

#include "app/CSplashWnd.h"

#include <string>

namespace keywhirl {

// The picture of resource 154 with the subtitle, in the interface language,
// and the build's version written over it.
class KeywhirlSplashWindow : public CSplashWnd {
public:
    struct Texts {
        std::wstring subtitle;
        std::wstring version;
    };

    KeywhirlSplashWindow();

    // The texts of the current interface language and this build's version.
    // Reads the language file: call it on the main thread.
    static Texts currentTexts();
    // The texts every splash created from now on writes; set before the
    // splash thread starts.
    static void setTexts(Texts texts);

    bool loadBitmap() override;

    // Writes the texts into the splash picture, a width x height bitmap.
    static void writeTexts(HBITMAP picture, int width, int height, const Texts& texts);

private:
    static Texts& sharedTexts();
};

} // namespace keywhirl
