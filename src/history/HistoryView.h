// src/history/HistoryView.h - what the history window shows: the last 30 days and three totals.
#pragma once

#include "history/DayRecord.h"

#include <array>
#include <string>
#include <vector>

namespace keywhirl {

struct HistoryView {
    static constexpr int kDays = 30;

    CalendarDate today;
    // Index 0 is 29 days before today, the last one is today; a day without
    // typing is empty (its date is still set).
    std::array<DayRecord, kDays> days;
    DayRecord todayTotal;
    DayRecord lastWeek;
    DayRecord lastMonth;

    // Adds up the days (oldest first, as the history gives them) that fall
    // into the 30 days up to today.
    static HistoryView of(const std::vector<DayRecord>& history, CalendarDate today);

    bool nothingTyped() const { return lastMonth.empty(); }
};

// The user's short date format with the year left out, for day labels
// ("M/d/yyyy" gives "M/d", "dd.MM.yyyy" gives "dd.MM", "yyyy-MM-dd" gives
// "MM-dd"); quoted literals go too.
std::wstring monthDayPicture(const std::wstring& shortDatePicture);

// A round top for a scale that holds maximum in four steps of 1, 2, 2.5 or
// 5 times a power of ten; 4 for nothing at all.
std::uint64_t roundScale(std::uint64_t maximum);

} // namespace keywhirl
