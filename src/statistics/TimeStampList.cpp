// src/statistics/TimeStampList.cpp
#include "statistics/TimeStampList.h"

#include "utils/TickCount.h"

namespace keywhirl {

TimeStampList::TimeStampList(DWORD windowMilliseconds) : windowMilliseconds(windowMilliseconds) {}

DWORD TimeStampList::currentTime() {
    return utils::tickCount();
}

void TimeStampList::append() {
    utils::Lock guard(lock);
    const DWORD now = currentTime();
    discardOlderThan(now);
    stamps.push_back(now);
}

void TimeStampList::discardOlderThan(DWORD now) {
    while (!stamps.empty() && now - stamps.front() > windowMilliseconds)
        stamps.pop_front();
}

std::size_t TimeStampList::size() const {
    utils::Lock guard(lock);
    return stamps.size();
}

} // namespace keywhirl
