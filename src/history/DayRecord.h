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
    // Gaps of at most 10 s between two symbol key presses (longer ones are
    // breaks), their sum (the active typing time) and the sum of their squares.
    std::uint64_t intervals = 0;
    std::uint64_t activeMilliseconds = 0;
    std::uint64_t intervalSquares = 0;
    // The most symbols typed in one minute, less one: the 1-minute speed
    // monitor's reading over a full minute.
    std::uint32_t bestSpeed = 0;
    // Pauses longer than the keyboard hint's wait, and no break, before a symbol.
    std::uint64_t hesitations = 0;

    // Sums every counter; the best speed is the higher one. The date stays.
    void add(const DayRecord& other);

    bool empty() const { return symbols == 0; }
    // Symbols per minute over the active typing time, 0 without any.
    unsigned averageSpeed() const;
    // The same in tenths, rounded, for the file.
    std::uint64_t averageSpeedTenths() const;
    // Share of the symbols not taken back, in percent.
    unsigned effectiveness() const;
    // The rhythm evenness of all the day's typing gaps, in percent.
    unsigned evenness() const;
};

} // namespace keywhirl
