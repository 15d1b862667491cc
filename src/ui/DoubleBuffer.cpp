// src/ui/DoubleBuffer.cpp
#include "ui/DoubleBuffer.h"

namespace keywhirl::ui {

DoubleBuffer::DoubleBuffer(HDC target, int width, int height)
    : target_(target), width_(width), height_(height) {
    if (target == nullptr || width <= 0 || height <= 0)
        return;
    dc_.reset(::CreateCompatibleDC(target));
    bitmap_.reset(::CreateCompatibleBitmap(target, width, height));
    if (!dc_ || !bitmap_)
        return;
    previous_ = ::SelectObject(dc_.get(), bitmap_.get());
}

DoubleBuffer::~DoubleBuffer() {
    // A bitmap cannot be deleted while it is selected.
    if (previous_ != nullptr)
        ::SelectObject(dc_.get(), previous_);
}

bool DoubleBuffer::present(int x, int y) const {
    if (!*this)
        return false;
    return ::BitBlt(target_, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY) != FALSE;
}

} // namespace keywhirl::ui
