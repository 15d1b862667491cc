// src/ui/IdText.h - the localized texts of a window's controls or a menu's items, as a table.
#pragma once

#include <windows.h>

namespace keywhirl::ui {

// One row: the control or command id and the key of its text in the
// window's section of the language files.
struct IdText {
    UINT id;
    const wchar_t* key;
};

} // namespace keywhirl::ui
