// src/history/DayRecorder.h - sums up each calendar day's typing from the key events.
#pragma once

#include "history/DayRecord.h"
#include "input/KeyHandler.h"
#include "input/TypingPause.h"
#include "utils/CriticalSection.h"

#include <atomic>
#include <deque>
#include <map>
#include <vector>

namespace keywhirl {

// A key handler on the dispatcher thread. It keeps this run's figures per
// local date (the history file adds them to what earlier runs left); the
// main thread takes copies with days().
//
// Which day a key press belongs to: the local date at the press, with one
// exception. The day never steps back by a single day: a clock set back an
// hour over midnight, the end of summer time or a flight westwards keep
// counting on the day already begun until the clock's date passes it, so
// no day's figures are split between two rows or added to a finished day.
// A step back of two days or more is a corrected clock, and its date is
// taken. A gap between two presses belongs to the day of the later one.
//
// Gaps, breaks and hesitations follow TypingPause, the rule the weak keys
// count by, so a day's hesitations are the sum of the keys' hesitations.
// Typing time is the sum of the gaps between typing keys that are no
// breaks; the best minute is the most symbols in any minute of that typing
// time, breaks left out as the average leaves them out.
class DayRecorder : public KeyHandler {
public:
    static constexpr DWORD kBestSpeedMilliseconds = 60000;

    // hesitationMilliseconds is read at every press (the keyboard hint's wait).
    explicit DayRecorder(const std::atomic<unsigned>& hesitationMilliseconds);

    // The latest day an earlier run recorded: the next press counts on it
    // when the clock now shows the day before. Call before the first key.
    void continueAfter(CalendarDate latest);

    void handleKey(const KeyInfoWrapper& event) override;

    // This run's figures, one record per day with any key press, oldest first.
    std::vector<DayRecord> days() const;
    // The day a press now would count on.
    CalendarDate today() const;
    // Grows with every counted press; tells a reader that days() changed.
    unsigned long changes() const;

private:
    CalendarDate dayFor(CalendarDate clockDate) const;
    void onSymbol(DayRecord& record);

    const std::atomic<unsigned>& hesitationMilliseconds;
    mutable utils::CriticalSection lock;
    std::map<int, DayRecord> recorded;
    bool hasDay = false;
    CalendarDate currentDay;
    TypingPause pauses;
    // The typing time since the program started, and where on it the
    // symbols of the current day's last minute of typing time fell.
    std::uint64_t typingClock = 0;
    std::deque<std::uint64_t> lastMinute;
    CalendarDate lastMinuteDay;
    unsigned long changeCount = 0;
};

} // namespace keywhirl
