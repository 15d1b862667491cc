// src/input/QuietState.cpp
#include "input/QuietState.h"

namespace keywhirl {

QuietState& QuietState::current() {
    static QuietState state;
    return state;
}

} // namespace keywhirl
