// src/history/CalendarDate.h - a day of the civil calendar, counted from 1970-01-01.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// A plain value: days compare and subtract as whole numbers, so "the day
// before" and "the last 30 days" need no calendar rules of their own.
class CalendarDate {
public:
    CalendarDate() = default;
    static CalendarDate fromDayNumber(int dayNumber);
    // No check: month 1-12 and a day that exists in it are the caller's task.
    static CalendarDate fromYmd(int year, int month, int day);
    static CalendarDate fromSystemTime(const SYSTEMTIME& time);
    // "YYYY-MM-DD" with a real date in it (years 1601-9999); false otherwise.
    static bool parseIso(const std::string& text, CalendarDate& date);

    int dayNumber() const { return days_; }
    int year() const;
    int month() const;
    int day() const;
    std::string toIso() const;
    // Midday of the date, for the platform's date formatting.
    SYSTEMTIME toSystemTime() const;

    CalendarDate operator+(int days) const { return fromDayNumber(days_ + days); }
    CalendarDate operator-(int days) const { return fromDayNumber(days_ - days); }
    int operator-(CalendarDate other) const { return days_ - other.days_; }
    bool operator==(CalendarDate other) const { return days_ == other.days_; }
    bool operator!=(CalendarDate other) const { return days_ != other.days_; }
    bool operator<(CalendarDate other) const { return days_ < other.days_; }
    bool operator>(CalendarDate other) const { return days_ > other.days_; }
    bool operator<=(CalendarDate other) const { return days_ <= other.days_; }
    bool operator>=(CalendarDate other) const { return days_ >= other.days_; }

private:
    void split(int& year, int& month, int& day) const;

    int days_ = 0;
};

} // namespace keywhirl
