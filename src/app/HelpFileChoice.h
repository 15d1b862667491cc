// src/app/HelpFileChoice.h - which help file the tray menu's Help item opens.
#pragma once

#include <string>

namespace keywhirl {

// The help in the interface language: the program's path with ".<code>.chm"
// for its extension (Keywhirl.RUS.chm) when that file exists, otherwise the
// English help, the program's path with ".CHM".
std::wstring helpFileFor(const std::wstring& programPath, const std::wstring& languageCode);

} // namespace keywhirl
