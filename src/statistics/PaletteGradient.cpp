// src/statistics/PaletteGradient.cpp
#include "statistics/PaletteGradient.h"

#include "settings/Settings.h"

namespace keywhirl {

namespace {
COLOR16 channel(unsigned char value) {
    return static_cast<COLOR16>(value << 8);
}
} // namespace

void fillPaletteGradient(HDC dc, const RECT& rect) {
    const Settings& settings = *Settings::instance();
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = channel(settings.statTopRed);
    vertices[0].Green = channel(settings.statTopGreen);
    vertices[0].Blue = channel(settings.statTopBlue);
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = channel(settings.statBottomRed);
    vertices[1].Green = channel(settings.statBottomGreen);
    vertices[1].Blue = channel(settings.statBottomBlue);
    GRADIENT_RECT rectangle = {0, 1};
    ::GradientFill(dc, vertices, 2, &rectangle, 1, GRADIENT_FILL_RECT_V);
}

} // namespace keywhirl
