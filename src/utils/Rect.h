// src/utils/Rect.h - an integer rectangle whose right and bottom edges belong to it.
#pragma once

#include <windows.h>

namespace keywhirl::utils {

class Rect {
public:
    Rect() : left(0), top(0), right(0), bottom(0) {}
    Rect(int left, int top, int right, int bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    virtual ~Rect() = default;
    Rect(const Rect&) = default;
    Rect& operator=(const Rect&) = default;

    int getLeft() const { return left; }
    int getTop() const { return top; }
    int getRight() const { return right; }
    int getBottom() const { return bottom; }
    void setLeft(int value) { left = value; }
    void setTop(int value) { top = value; }
    void setRight(int value) { right = value; }
    void setBottom(int value) { bottom = value; }

    // Both edges are inside, so a width of w ends at left + w - 1.
    void setWidth(int width) { right = left + width - 1; }
    void setHeight(int height) { bottom = top + height - 1; }
    void offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // The same four values; a platform RECT excludes its right and bottom
    // edges, so the area it describes is one pixel narrower and lower.
    RECT toRECT() const { return RECT{left, top, right, bottom}; }

    bool operator==(const Rect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }

private:
    int left;
    int top;
    int right;
    int bottom;
};

} // namespace keywhirl::utils
