// src/history/CalendarDate.cpp
#include "history/CalendarDate.h"

#include <cstdio>

namespace keywhirl {

namespace {

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

CalendarDate CalendarDate::fromDayNumber(int dayNumber) {
    CalendarDate date;
    date.days_ = dayNumber;
    return date;
}

// The year is counted from March, so that the leap day comes last and every
// 400-year era has the same 146097 days.
CalendarDate CalendarDate::fromYmd(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return fromDayNumber(era * 146097 + dayOfEra - 719468);
}

void CalendarDate::split(int& year, int& month, int& day) const {
    const int z = days_ + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int dayOfEra = z - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

CalendarDate CalendarDate::fromSystemTime(const SYSTEMTIME& time) {
    return fromYmd(time.wYear, time.wMonth, time.wDay);
}

bool CalendarDate::parseIso(const std::string& text, CalendarDate& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    int parts[3] = {};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < lengths[i]; ++j) {
            const char c = text[starts[i] + j];
            if (c < '0' || c > '9')
                return false;
            parts[i] = parts[i] * 10 + (c - '0');
        }
    }
    if (parts[0] < 1601 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 ||
        parts[2] > daysInMonth(parts[0], parts[1]))
        return false;
    date = fromYmd(parts[0], parts[1], parts[2]);
    return true;
}

int CalendarDate::year() const {
    int y, m, d;
    split(y, m, d);
    return y;
}

int CalendarDate::month() const {
    int y, m, d;
    split(y, m, d);
    return m;
}

int CalendarDate::day() const {
    int y, m, d;
    split(y, m, d);
    return d;
}

std::string CalendarDate::toIso() const {
    int y, m, d;
    split(y, m, d);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

SYSTEMTIME CalendarDate::toSystemTime() const {
    int y, m, d;
    split(y, m, d);
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(y);
    time.wMonth = static_cast<WORD>(m);
    time.wDay = static_cast<WORD>(d);
    time.wDayOfWeek = static_cast<WORD>(((days_ % 7) + 11) % 7); // 1970-01-01 was a Thursday
    time.wHour = 12;
    return time;
}

} // namespace keywhirl
