// src/sound/ClickPlayer.cpp
#include "sound/ClickPlayer.h"

namespace keywhirl {

template class BasicClickPlayer<TWAVDirectSound>;

namespace {
// Made with the program's other static objects; its destructor releases
// whatever voices are left at exit.
ClickPlayer theClickPlayer;
} // namespace

ClickPlayer& clickPlayer() {
    return theClickPlayer;
}

} // namespace keywhirl
