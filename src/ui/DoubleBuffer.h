// src/ui/DoubleBuffer.h - an off-screen picture that a paint composes first
// and copies to the screen in one step, so a repaint never flickers.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl::ui {

class DoubleBuffer {
public:
    // A memory DC compatible with target, with a bitmap of width x height
    // made compatible with target (not with the memory DC, which would give
    // a monochrome picture) selected into it.
    DoubleBuffer(HDC target, int width, int height);
    ~DoubleBuffer();
    DoubleBuffer(const DoubleBuffer&) = delete;
    DoubleBuffer& operator=(const DoubleBuffer&) = delete;

    // False when the buffer could not be made (or has no area); nothing is
    // presented then.
    explicit operator bool() const { return previous_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the whole buffer to the target with its top left corner at (x, y).
    bool present(int x = 0, int y = 0) const;

private:
    HDC target_;
    int width_;
    int height_;
    utils::UniqueMemoryDc dc_;
    utils::UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

} // namespace keywhirl::ui
