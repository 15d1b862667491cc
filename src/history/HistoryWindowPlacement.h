// src/history/HistoryWindowPlacement.h - the history window's size and place, kept in Keywhirl.ini.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// Section "HistoryWindow" of Keywhirl.ini, beside the program's settings:
// left, top, width, height (the restored window, in screen pixels) and
// maximized. The settings' own save keeps other sections as they are.
class HistoryWindowPlacement {
public:
    static constexpr wchar_t kSection[] = L"HistoryWindow";

    // <application data>\Keywhirl\Keywhirl.ini, or empty without that folder.
    static std::wstring iniPath();

    // False when nothing usable is stored.
    static bool load(RECT& rect, bool& maximized);
    // Written through a temporary that replaces the file in one step.
    static bool save(const RECT& rect, bool maximized);
};

} // namespace keywhirl
