// src/history/DayRecord.h - one day's typing in figures: sums that add up over runs and days.
#pragma once

#include "history/CalendarDate.h"

#include <cstdint>

namespace keywhirl {

// Only counters and sums: nothing in a record could rebuild what was typed.
// Every figure the history shows is worked out from these sums, so the same
// formulas serve one day, a week or a month (add the records, then ask).
struct DayRecord {
    CalendarDate date;
    // Presses of symbol keys, repeats included, as the symbols counter counts them.
    std::uint64_t symbols = 0;
    // Symbols minus Backspace and Delete presses, never below 0 within a run.
    std::uint64_t keptSymbols = 0;
    // Gaps between two typing keys that are no breaks (TypingPause), their
    // sum (the typing time) and the sum of their squares.
    std::uint64_t intervals = 0;
    std::uint64_t activeMilliseconds = 0;
    std::uint64_t intervalSquares = 0;
    // The most symbols typed in any minute of typing time. Read it through
    // bestMinuteSpeed(), which keeps it from falling below the average.
    std::uint32_t bestSpeed = 0;
    // Typing key presses after a hesitation (TypingPause).
    std::uint64_t hesitations = 0;

    // Typing time that a best minute needs; with less, the best is the average.
    static constexpr std::uint64_t kMinuteMilliseconds = 60000;

    // Sums every counter; the best speed is the higher one. The date stays.
    void add(const DayRecord& other);
    // Adds a day to a span of days: as add(), and the span's best minute is
    // at least the day's, even where the day's best is its average.
    void addDay(const DayRecord& day);

    bool empty() const { return symbols == 0; }
    // Symbols per minute of typing time, 0 without any.
    unsigned averageSpeed() const;
    // The fastest minute of typing time in symbols per minute, never below
    // the average: the average itself while there is less than a minute of
    // typing time, and for older files that counted minutes of wall time.
    unsigned bestMinuteSpeed() const;
    // The same in tenths, rounded, for the file.
    std::uint64_t averageSpeedTenths() const;
    // Share of the symbols not taken back, in percent.
    unsigned effectiveness() const;
    // The rhythm evenness of all the day's typing gaps, in percent.
    unsigned evenness() const;
};

} // namespace keywhirl
