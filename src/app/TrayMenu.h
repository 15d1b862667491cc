// src/app/TrayMenu.h - the tray icon's pop-up menu, also offered by the keyboard
// and statistics windows on a right click.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// Loads the menu afresh, puts in the texts of the interface language, the
// item pictures and the check marks of the current settings, and returns
// its pop-up. The menu stays valid until the next call or the program's end.
// Main thread only.
HMENU buildTrayMenu();

// Shows the tray menu at the cursor, owned by the main window, which carries
// out the chosen command (WM_COMMAND) as from the tray icon.
// From the tray icon (openedFrom null) the menu opens left of the cursor,
// and the main window takes the foreground while it is open, or a click
// elsewhere would not close it; afterwards the program the user was typing
// in gets the keyboard back, unless the command opens a window of ours,
// which takes it itself. From a window of ours that was right-clicked (the
// keyboard, the statistics window) it opens right at the cursor and leaves
// the foreground alone; that window is sent WM_NULL afterwards.
void showTrayMenu(HWND mainWindow, HWND openedFrom = nullptr);

// The program that the item "Ignore <program>" names: the one the user last
// worked in. Empty leaves the item out. Main thread only.
void setIgnorableProgram(const std::wstring& program);
const std::wstring& ignorableProgram();

} // namespace keywhirl
