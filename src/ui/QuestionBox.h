// src/ui/QuestionBox.h - a yes-or-no question whose buttons speak the interface language.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl::ui {

// The program's placed message box (PlacedMessageBox) with a question icon and No as the default
// button, its two buttons labelled with the given texts rather than in the
// system's language. Returns IDYES or IDNO (IDNO also when it is closed).
// Empty button texts keep the system's own.
int askYesOrNo(HWND owner, const std::wstring& question, const std::wstring& caption,
               const std::wstring& yes, const std::wstring& no);

} // namespace keywhirl::ui
