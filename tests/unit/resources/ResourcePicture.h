// tests/unit/resources/ResourcePicture.h - the pixels of a 24-bit bitmap
// resource, read from its stored bytes.
#pragma once

#include <windows.h>

#include <vector>

namespace keywhirl::testing {

class ResourcePicture {
public:
    // Throws std::runtime_error when the resource is missing or is no
    // uncompressed 24-bit bitmap.
    explicit ResourcePicture(WORD id);

    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return bits_; }
    // The colour at (x, y), y counted from the top, as a COLORREF.
    COLORREF at(int x, int y) const { return pixels_[y * width_ + x]; }
    const std::vector<COLORREF>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    int bits_ = 0;
    std::vector<COLORREF> pixels_;
};

} // namespace keywhirl::testing
