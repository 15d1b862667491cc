// bench/floors/FloorIdle.cpp - bench_floor_idle: a hidden window and its
// message loop, nothing else. What any program with a window costs in memory,
// start-up and idle time under the same platform.
#include "Floor.h"

int main() {
    return keywhirl::bench::floors::runFloor(L"Keywhirl floor idle");
}
