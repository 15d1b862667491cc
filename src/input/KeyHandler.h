// src/input/KeyHandler.h - everything that reacts to key events.
#pragma once

#include "input/KeyInfoWrapper.h"

namespace keywhirl {

// Called on the dispatcher thread for every key press and release.
class KeyHandler {
public:
    virtual ~KeyHandler() = default;
    virtual void handleKey(const KeyInfoWrapper& event) = 0;
};

} // namespace keywhirl
