// src/app/GreyIcon.cpp
#include "app/GreyIcon.h"

#include "utils/Handles.h"

#include <vector>

namespace keywhirl {

namespace {
// Grey of the pixel's brightness, moved halfway towards a light grey, so
// that the picture reads as switched off.
DWORD greyPixel(DWORD pixel) {
    const DWORD blue = pixel & 0xFF;
    const DWORD green = (pixel >> 8) & 0xFF;
    const DWORD red = (pixel >> 16) & 0xFF;
    const DWORD brightness = (red * 30 + green * 59 + blue * 11) / 100;
    const DWORD grey = (brightness + 192) / 2;
    return (pixel & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
}
} // namespace

HICON makeGreyIcon(HICON icon) {
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info))
        return nullptr;
    utils::UniqueBitmap colour(info.hbmColor);
    utils::UniqueBitmap mask(info.hbmMask);
    BITMAP size = {};
    if (!colour || !::GetObjectW(colour.get(), sizeof size, &size))
        return nullptr;

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = -size.bmHeight; // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    utils::WindowDc screen(nullptr);
    if (pixels.empty() || !::GetDIBits(screen.get(), colour.get(), 0, size.bmHeight, pixels.data(),
                                       &format, DIB_RGB_COLORS))
        return nullptr;
    for (DWORD& pixel : pixels)
        pixel = greyPixel(pixel);

    void* bits = nullptr;
    utils::UniqueBitmap grey(
        ::CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grey || !bits)
        return nullptr;
    ::CopyMemory(bits, pixels.data(), pixels.size() * sizeof(DWORD));
    ICONINFO made = {};
    made.fIcon = TRUE;
    made.hbmColor = grey.get();
    made.hbmMask = mask.get();
    // The system copies both bitmaps into the icon.
    return ::CreateIconIndirect(&made);
}

} // namespace keywhirl
