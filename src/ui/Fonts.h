// src/ui/Fonts.h - fonts of a given size on the screen a window paints on.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl::ui {

// Arial, the face of the translucent windows' texts: the Liberation twin on
// Linux has the same metrics.
inline constexpr wchar_t kWindowFontFace[] = L"Arial";

// A font of the given size in tenths of a point at the resolution of dc.
utils::UniqueFont createPointFont(HDC dc, int points10, LONG weight,
                                  const wchar_t* face = kWindowFontFace);

} // namespace keywhirl::ui
