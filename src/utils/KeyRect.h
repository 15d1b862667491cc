// src/keyboard/KeyRect.h - the cell of one key on the keyboard picture.
#pragma once

#include "utils/Rect.h"

namespace keywhirl {

// A rectangle that also tells whether a key has a cell at all.
class KeyRect : public utils::Rect {
public:
    KeyRect() : valid(true) {}
    KeyRect(int left, int top, int right, int bottom)
        : Rect(left, top, right, bottom), valid(true) {}
    explicit KeyRect(bool valid) : valid(valid) {}

    bool isValid() const { return valid; }
    void setValid(bool value) { valid = value; }

private:
    bool valid;
};

} // namespace keywhirl
