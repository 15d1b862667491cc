// src/keyboard/BitmapRegion.h - the shape of a picture: every pixel not of its key colour.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace keywhirl {

// The region of every pixel of the bitmap whose colour differs from that of
// its top left pixel, in the bitmap's coordinates. dc is a device context
// the bitmap is compatible with (the window's). Empty when the bitmap
// cannot be read.
utils::UniqueRegion createRegionWithoutKeyColour(HDC dc, HBITMAP bitmap);

// The same from pixels given row by row, top row first: one rectangle for
// each run of neighbouring pixels in a row that differ from the key colour.
std::vector<RECT> runsWithoutKeyColour(const std::vector<std::uint32_t>& pixels, int width,
                                       int height, std::uint32_t keyColour);

} // namespace keywhirl
