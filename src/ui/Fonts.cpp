// src/ui/Fonts.cpp
#include "ui/Fonts.h"

namespace keywhirl::ui {

utils::UniqueFont createPointFont(HDC dc, int points10, LONG weight, const wchar_t* face) {
    LOGFONTW font = {};
    font.lfHeight = -::MulDiv(points10, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return utils::UniqueFont(::CreateFontIndirectW(&font));
}

} // namespace keywhirl::ui
