// src/history/HistoryView.cpp
#include "history/HistoryView.h"

#include <cwctype>

namespace keywhirl {

HistoryView HistoryView::of(const std::vector<DayRecord>& history, CalendarDate today) {
    HistoryView view;
    view.today = today;
    for (int i = 0; i < kDays; ++i)
        view.days[std::size_t(i)].date = today - (kDays - 1 - i);
    view.todayTotal.date = view.lastWeek.date = view.lastMonth.date = today;
    for (const DayRecord& day : history) {
        const int age = today - day.date;
        if (age < 0 || age >= kDays)
            continue;
        view.days[std::size_t(kDays - 1 - age)].add(day);
        view.lastMonth.addDay(day);
        if (age < 7)
            view.lastWeek.addDay(day);
        if (age == 0)
            view.todayTotal.addDay(day);
    }
    return view;
}

std::wstring monthDayPicture(const std::wstring& shortDatePicture) {
    std::wstring picture;
    bool quoted = false;
    for (wchar_t c : shortDatePicture) {
        if (c == L'\'')
            quoted = !quoted;
        else if (!quoted)
            picture += c;
    }
    const std::size_t first = picture.find_first_of(L"yY");
    if (first != std::wstring::npos) {
        std::size_t end = picture.find_first_not_of(L"yY", first);
        if (end == std::wstring::npos)
            end = picture.size();
        std::size_t start = first;
        if (first == 0) {
            // The year leads: its separator follows it.
            while (end < picture.size() && !std::iswalpha(picture[end]))
                ++end;
        } else {
            while (start > 0 && !std::iswalpha(picture[start - 1]))
                --start;
        }
        picture.erase(start, end - start);
    }
    while (!picture.empty() && std::iswspace(picture.back()))
        picture.pop_back();
    return picture.empty() ? L"d" : picture;
}

std::uint64_t roundScale(std::uint64_t maximum) {
    const std::uint64_t factors[] = {10, 20, 25, 50};
    for (std::uint64_t power = 1;; power *= 10) {
        for (std::uint64_t factor : factors) {
            const std::uint64_t step = factor * power / 10;
            if (step > 0 && step * 4 >= maximum)
                return step * 4;
        }
        if (power > UINT64_MAX / 100)
            return maximum;
    }
}

} // namespace keywhirl
