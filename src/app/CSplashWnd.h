// src/app/CSplashWnd.h - a borderless topmost window that shows one picture.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

// Created on the splash thread. The user can drag it but not close it;
// only okToClose lets a WM_CLOSE through.
class CSplashWnd {
public:
    CSplashWnd() = default;
    virtual ~CSplashWnd();
    CSplashWnd(const CSplashWnd&) = delete;
    CSplashWnd& operator=(const CSplashWnd&) = delete;

    virtual bool createSplashWindow();
    virtual bool loadBitmap();

    HWND handle() const { return window.get(); }
    void allowClose() { okToClose = true; }

protected:
    bool okToClose = false;
    utils::UniqueBitmap bitmap;
    utils::UniqueAny<HPALETTE, ::DeleteObject> palette;
    int height = 0;
    int width = 0;
    // The hidden owner keeps the splash off the taskbar.
    utils::UniqueWindow ownerWindow;
    WORD resourceId = 0;
    bool dropShadow = false;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool registerWindowClass();
    void createPalette();
    void realizePalette(bool forced);
    void paint();

    // Owned from its creation; the window procedure lets go of it when the
    // window is destroyed by other means (its thread's end).
    utils::UniqueWindow window;
};

} // namespace keywhirl
