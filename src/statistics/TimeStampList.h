// src/statistics/TimeStampList.h - the tick counts of recent key presses, shared between threads.
#pragma once

#include "utils/CriticalSection.h"

#include <windows.h>

#include <deque>

namespace keywhirl {

// Key press times, oldest first, that are at most the window's length old.
// The dispatcher appends; the statistics window's thread discards and walks.
// Every access holds the list's own lock, and only for the list work itself.
class TimeStampList {
public:
    // Four bytes a stamp, in blocks: an hour of fast typing is some
    // 30,000 stamps per list.
    using Stamps = std::deque<DWORD>;

    explicit TimeStampList(DWORD windowMilliseconds);
    TimeStampList(const TimeStampList&) = delete;
    TimeStampList& operator=(const TimeStampList&) = delete;

    // Appends a key's time (its tick count). Stamps that have left the
    // window as seen from it go at the same time, so the list stays bounded
    // even while nobody reads it. A time before the newest stamp (a key
    // stamped on arrival among keys timed by the system) is taken as the
    // newest: the list stays in order.
    void append(DWORD time);

    // Discards the stamps that have left the window and calls
    // visit(now, list) with the rest, under the lock. A stamp exactly the
    // window's length old is kept.
    template <typename Visitor> void visitRecent(Visitor&& visit) {
        utils::Lock guard(lock);
        // Read under the lock: a stamp appended after an earlier reading of
        // the clock would look almost 50 days old and empty the list. For
        // the same reason a key timed a moment ahead of this clock's reading
        // moves now up to it.
        const DWORD now = latest(currentTime());
        discardOlderThan(now);
        visit(now, static_cast<const Stamps&>(stamps));
    }

    std::size_t size() const;

private:
    static DWORD currentTime();
    // The later of time and the newest stamp.
    DWORD latest(DWORD time) const;
    // Differences in unsigned 32-bit arithmetic survive the tick counter's wrap.
    void discardOlderThan(DWORD now);

    const DWORD windowMilliseconds;
    mutable utils::CriticalSection lock;
    Stamps stamps;
};

} // namespace keywhirl
