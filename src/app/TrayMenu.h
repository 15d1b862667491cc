// src/app/TrayMenu.h - the tray icon's pop-up menu, also offered by the keyboard
// and statistics windows on a right click.
#pragma once

#include <windows.h>

namespace keywhirl {

// Loads the menu afresh, puts in the texts of the interface language, the
// item pictures and the check marks of the current settings, and returns
// its pop-up. The menu stays valid until the next call or the program's end.
// Main thread only.
HMENU buildTrayMenu();

} // namespace keywhirl
