// bench/floors/FloorHook.cpp - bench_floor_hook: the idle floor plus a
// low-level keyboard hook that does nothing but pass each key on. What any
// such hook costs a keystroke.
#include "Floor.h"

namespace {

LRESULT CALLBACK passOn(int code, WPARAM message, LPARAM data) {
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace

int main() {
    return keywhirl::bench::floors::runFloor(L"Keywhirl floor hook",
                                             keywhirl::bench::floors::closingWindowProc, passOn);
}
