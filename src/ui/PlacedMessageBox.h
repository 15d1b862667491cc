// src/ui/PlacedMessageBox.h - a message box where the user looks.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl::ui {

// MessageBoxW, placed in the middle of a work area: that of the monitor of
// its owner while the owner is visible, else that of the mouse pointer (the
// monitor of the tray icon the user just clicked). The program's usual
// owner, the main window, is hidden, and the system would centre the box on
// wherever that hidden window stands.
class PlacedMessageBox {
public:
    static int show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);
    // The point whose monitor the box, or a window opened from the tray,
    // comes to.
    static POINT anchorPoint(HWND owner);
};

} // namespace keywhirl::ui
