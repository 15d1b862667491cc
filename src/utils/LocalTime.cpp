// src/utils/LocalTime.cpp
#include "utils/LocalTime.h"

#include <atomic>

namespace keywhirl::utils {

namespace {
SYSTEMTIME systemLocalTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

std::atomic<LocalTimeSource> currentSource{&systemLocalTime};
} // namespace

SYSTEMTIME localTime() {
    return currentSource.load(std::memory_order_relaxed)();
}

void setLocalTimeSource(LocalTimeSource source) {
    currentSource.store(source ? source : &systemLocalTime, std::memory_order_relaxed);
}

} // namespace keywhirl::utils
