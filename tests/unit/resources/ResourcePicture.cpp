// tests/unit/resources/ResourcePicture.cpp
#include "ResourcePicture.h"

#include "ResourceData.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace keywhirl::testing {

ResourcePicture::ResourcePicture(WORD id) {
    ResourceData data = ResourceData::find(RT_BITMAP, id);
    if (data.size < sizeof(BITMAPINFOHEADER))
        throw std::runtime_error("no bitmap resource " + std::to_string(id));
    BITMAPINFOHEADER header;
    std::memcpy(&header, data.bytes, sizeof header);
    width_ = header.biWidth;
    height_ = std::abs(header.biHeight);
    bits_ = header.biBitCount;
    if (header.biCompression != BI_RGB || bits_ != 24 || width_ <= 0)
        throw std::runtime_error("not an uncompressed 24-bit bitmap: " + std::to_string(id));
    const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t(3);
    const std::size_t first = header.biSize + header.biClrUsed * sizeof(RGBQUAD);
    if (first + stride * height_ > data.size)
        throw std::runtime_error("bitmap resource ends early: " + std::to_string(id));
    pixels_.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        // bottom-up unless the height is negative
        int row = header.biHeight > 0 ? height_ - 1 - y : y;
        const BYTE* line = data.bytes + first + stride * row;
        for (int x = 0; x < width_; ++x)
            pixels_[y * width_ + x] = RGB(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
    }
}

} // namespace keywhirl::testing
