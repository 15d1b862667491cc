// src/statistics/TimeStampList.cpp
#include "statistics/TimeStampList.h"

#include "utils/TickCount.h"

namespace keywhirl {

TimeStampList::TimeStampList(DWORD windowMilliseconds) : windowMilliseconds(windowMilliseconds) {}

DWORD TimeStampList::currentTime() {
    return utils::tickCount();
}

DWORD TimeStampList::latest(DWORD time) const {
    if (stamps.empty())
        return time;
    return utils::slightlyBefore(time, stamps.back()) ? stamps.back() : time;
}

void TimeStampList::append(DWORD time) {
    utils::Lock guard(lock);
    const DWORD stamp = latest(time);
    discardOlderThan(stamp);
    stamps.push_back(stamp);
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
