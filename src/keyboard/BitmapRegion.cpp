// src/keyboard/BitmapRegion.cpp
#include "keyboard/BitmapRegion.h"

#include "utils/Handles.h"

#include <algorithm>
#include <cstring>

namespace keywhirl {

namespace {

// Older systems refuse very large region descriptions; the rectangles go in
// in batches, joined with RGN_OR.
constexpr size_t kRectanglesPerBatch = 2000;

HRGN regionFromRectangles(const RECT* rectangles, size_t count) {
    std::vector<char> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header->rcBound = {0, 0, 0, 0};
    if (count) {
        header->rcBound = rectangles[0];
        for (size_t i = 1; i < count; ++i) {
            header->rcBound.left = std::min(header->rcBound.left, rectangles[i].left);
            header->rcBound.top = std::min(header->rcBound.top, rectangles[i].top);
            header->rcBound.right = std::max(header->rcBound.right, rectangles[i].right);
            header->rcBound.bottom = std::max(header->rcBound.bottom, rectangles[i].bottom);
        }
        std::memcpy(data.data() + sizeof(RGNDATAHEADER), rectangles, count * sizeof(RECT));
    }
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                             reinterpret_cast<const RGNDATA*>(data.data()));
}

} // namespace

std::vector<RECT> runsWithoutKeyColour(const std::vector<std::uint32_t>& pixels, int width,
                                       int height, std::uint32_t keyColour) {
    std::vector<RECT> runs;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return runs;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels.data() + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == keyColour)
                ++x;
            int start = x;
            while (x < width && row[x] != keyColour)
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    return runs;
}

utils::UniqueRegion createRegionWithoutKeyColour(HDC dc, HBITMAP bitmap) {
    BITMAP size = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof size, &size) || size.bmWidth <= 0 ||
        size.bmHeight <= 0)
        return {};
    int width = size.bmWidth;
    int height = size.bmHeight;

    // All pixels at once, as 32-bit values, top row first; the same colours
    // GetPixel reports one by one, at a fraction of the cost.
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    utils::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory || ::GetDIBits(memory.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                               &format, DIB_RGB_COLORS) != height)
        return {};
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFFu;

    std::vector<RECT> runs = runsWithoutKeyColour(pixels, width, height, pixels[0]);
    utils::UniqueRegion region(
        regionFromRectangles(runs.data(), std::min(runs.size(), kRectanglesPerBatch)));
    for (size_t first = kRectanglesPerBatch; region && first < runs.size();
         first += kRectanglesPerBatch) {
        utils::UniqueRegion batch(regionFromRectangles(
            runs.data() + first, std::min(runs.size() - first, kRectanglesPerBatch)));
        if (batch)
            ::CombineRgn(region.get(), region.get(), batch.get(), RGN_OR);
    }
    return region;
}

} // namespace keywhirl
