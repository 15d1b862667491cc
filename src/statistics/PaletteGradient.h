// src/statistics/PaletteGradient.h - the statistics palette's background.
#pragma once

#include <windows.h>

namespace keywhirl {

// Fills the rectangle from the top colour of the settings (statTop*) down
// to the bottom one (statBottom*), as the statistics and history windows do.
void fillPaletteGradient(HDC dc, const RECT& rect);

} // namespace keywhirl
