// src/utils/TickCount.cpp
#include "utils/TickCount.h"

#include <atomic>

namespace keywhirl::utils {

namespace {
DWORD systemTickCount() {
    return ::GetTickCount();
}

std::atomic<TickSource> currentSource{&systemTickCount};
} // namespace

DWORD tickCount() {
    return currentSource.load(std::memory_order_relaxed)();
}

void setTickSource(TickSource source) {
    currentSource.store(source ? source : &systemTickCount, std::memory_order_relaxed);
}

} // namespace keywhirl::utils
