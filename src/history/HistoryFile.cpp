// src/history/HistoryFile.cpp
#include "history/HistoryFile.h"

#include "settings/FileReplacement.h"
#include "settings/Paths.h"
#include "settings/SetAside.h"
#include "settings/TextLines.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <set>

namespace keywhirl {

namespace {

enum Column {
    kDate,
    kSymbols,
    kActiveSeconds,
    kAverageSpeed,
    kBestSpeed,
    kEffectiveness,
    kEvenness,
    kHesitations,
    kKeptSymbols,
    kIntervals,
    kIntervalSquares,
    kColumnCount
};

// The friendly figures first, for a reader with a spreadsheet; then the
// sums the figures of longer spans are worked out from.
const char* const kColumnNames[kColumnCount] = {
    "date",     "symbols",     "activeSeconds", "averageSpeed", "bestSpeed",      "effectiveness",
    "evenness", "hesitations", "keptSymbols",   "intervals",    "intervalSquares"};

// A figure as written: whole part and the first three decimals.
struct Number {
    std::uint64_t whole = 0;
    std::uint32_t thousandths = 0;
    double value() const { return double(whole) + thousandths / 1000.0; }
};

// Digits, optionally a dot and more digits; no sign, no exponent, no
// thousands separator, and never the locale's decimal mark.
bool parseNumber(const std::string& text, Number& number) {
    std::size_t i = 0;
    number = Number{};
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const std::uint64_t digit = std::uint64_t(text[i] - '0');
        if (number.whole > (UINT64_MAX - digit) / 10)
            return false;
        number.whole = number.whole * 10 + digit;
    }
    if (i == text.size())
        return true;
    if (text[i] != '.' || i + 1 == text.size())
        return false;
    std::uint32_t scale = 100;
    for (++i; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number.thousandths += std::uint32_t(text[i] - '0') * scale;
        scale /= 10;
    }
    return true;
}

std::uint64_t rounded(double value) {
    return value <= 0 ? 0 : static_cast<std::uint64_t>(value + 0.5);
}

// The sum of squared gaps that gives back the evenness a file shows: the
// evenness is truncated, so the middle of its one-percent step is taken.
std::uint64_t squaresFromEvenness(std::uint64_t intervals, std::uint64_t active,
                                  const Number* evenness) {
    if (intervals == 0 || active == 0)
        return 0;
    const double mean = double(active) / double(intervals);
    double spreadPerMean = 0;
    if (evenness && evenness->whole < 100) {
        const double share = (double(evenness->whole) + 0.5) / 100.0;
        spreadPerMean = -std::log2(share) / 2.0;
    }
    const double sigma = spreadPerMean * mean;
    return rounded(double(intervals) * (sigma * sigma + mean * mean));
}

// A record from the figures of one line; columns the file lacks are worked
// out from those it has.
DayRecord recordFrom(const CalendarDate& date, const Number* (&has)[kColumnCount]) {
    DayRecord record;
    record.date = date;
    auto whole = [&](Column column) { return has[column] ? has[column]->whole : 0; };
    record.symbols = whole(kSymbols);
    const double speed = has[kAverageSpeed] ? has[kAverageSpeed]->value() : 0.0;

    if (has[kActiveSeconds])
        record.activeMilliseconds =
            has[kActiveSeconds]->whole * 1000 + has[kActiveSeconds]->thousandths;
    else if (speed > 0)
        record.activeMilliseconds = rounded(double(record.symbols) * 60000.0 / speed);

    if (has[kIntervals])
        record.intervals = whole(kIntervals);
    else if (has[kAverageSpeed])
        record.intervals = rounded(speed * double(record.activeMilliseconds) / 60000.0);
    else
        record.intervals =
            record.activeMilliseconds > 0 && record.symbols > 0 ? record.symbols - 1 : 0;

    if (has[kKeptSymbols])
        record.keptSymbols = whole(kKeptSymbols);
    else if (has[kEffectiveness])
        record.keptSymbols = std::min<std::uint64_t>(
            record.symbols,
            rounded(double(record.symbols) * (has[kEffectiveness]->value() + 0.5) / 100.0));
    else
        record.keptSymbols = record.symbols;

    record.intervalSquares =
        has[kIntervalSquares]
            ? whole(kIntervalSquares)
            : squaresFromEvenness(record.intervals, record.activeMilliseconds, has[kEvenness]);
    record.bestSpeed =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(whole(kBestSpeed), UINT32_MAX));
    record.hesitations = whole(kHesitations);
    return record;
}

std::string formatRecord(const DayRecord& record) {
    auto text = [](std::uint64_t value) { return std::to_string(value); };
    const std::uint64_t tenths = record.averageSpeedTenths();
    std::string thousandths = text(record.activeMilliseconds % 1000);
    thousandths.insert(0, 3 - thousandths.size(), '0');
    std::string line = record.date.toIso();
    line += ',' + text(record.symbols);
    line += ',' + text(record.activeMilliseconds / 1000) + '.' + thousandths;
    line += ',' + text(tenths / 10) + '.' + text(tenths % 10);
    line += ',' + text(record.bestMinuteSpeed());
    line += ',' + text(record.effectiveness());
    line += ',' + text(record.evenness());
    line += ',' + text(record.hesitations);
    line += ',' + text(record.keptSymbols);
    line += ',' + text(record.intervals);
    line += ',' + text(record.intervalSquares);
    return line;
}

} // namespace

HistoryFile::HistoryFile(std::wstring path) : path_(std::move(path)) {}

std::string HistoryFile::header() {
    std::string line;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0)
            line += ',';
        line += kColumnNames[column];
    }
    return line;
}

std::vector<HistoryFile::Line> HistoryFile::parse(const std::string& text) {
    std::vector<Line> lines;
    // Where each known column stands in this file; -1 when it has none.
    int position[kColumnCount];
    for (int column = 0; column < kColumnCount; ++column)
        position[column] = column;
    std::size_t fieldCount = kColumnCount;
    bool headerSeen = false;
    std::set<int> dates;

    for (const std::string& line : splitLines(textAsUtf8(text))) {
        if (trimmed(line).empty())
            continue;

        std::vector<std::string> fields = splitFields(line, ',');
        if (!headerSeen) {
            headerSeen = true;
            std::string first = fields[0];
            std::transform(first.begin(), first.end(), first.begin(),
                           [](char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
            if (first == "date") {
                for (int column = 0; column < kColumnCount; ++column) {
                    const auto found =
                        std::find(fields.begin(), fields.end(), kColumnNames[column]);
                    position[column] = found == fields.end() ? -1 : int(found - fields.begin());
                }
                position[kDate] = 0;
                fieldCount = fields.size();
                continue;
            }
            // No header: the columns of this version.
        }

        Line entry;
        entry.text = line;
        Number numbers[kColumnCount];
        const Number* has[kColumnCount] = {};
        CalendarDate date;
        bool readable = fields.size() == fieldCount && CalendarDate::parseIso(fields[0], date) &&
                        dates.count(date.dayNumber()) == 0;
        for (int column = kSymbols; readable && column < kColumnCount; ++column) {
            // An empty cell, as a spreadsheet leaves it, is a missing figure.
            if (position[column] < 0 || fields[std::size_t(position[column])].empty())
                continue;
            readable = parseNumber(fields[std::size_t(position[column])], numbers[column]);
            has[column] = &numbers[column];
        }
        if (readable) {
            entry.readable = true;
            entry.record = recordFrom(date, has);
            entry.text.clear();
            dates.insert(date.dayNumber());
        }
        lines.push_back(std::move(entry));
    }
    return lines;
}

std::string HistoryFile::format(const std::vector<Line>& lines) {
    std::string text = header() + "\r\n";
    for (const Line& line : lines)
        text += (line.readable ? formatRecord(line.record) : line.text) + "\r\n";
    return text;
}

HistoryFile::LoadResult HistoryFile::load() {
    if (::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        lines_.clear();
        return LoadResult::Missing;
    }
    // Left by a crash during a save: the file itself is whole.
    FileReplacement(path_).discard();
    std::vector<char> bytes;
    const int error = readFileBytes(path_, bytes, kMaxBytes);
    if (error == EFBIG && setAside(path_, L".too-large")) {
        lines_.clear();
        return LoadResult::SetAside;
    }
    if (error != 0)
        return LoadResult::Unreadable;
    lines_ = parse(std::string(bytes.begin(), bytes.end()));
    return LoadResult::Loaded;
}

bool HistoryFile::save() const {
    FileReplacement file(path_);
    return file.writeTemporary(format(lines_)) && file.commit();
}

void HistoryFile::add(const std::vector<DayRecord>& records) {
    for (const DayRecord& record : records) {
        auto same = std::find_if(lines_.begin(), lines_.end(), [&](const Line& line) {
            return line.readable && line.record.date == record.date;
        });
        if (same != lines_.end()) {
            same->record.add(record);
            continue;
        }
        // Before the first later day; damaged lines stay where they are.
        auto later = std::find_if(lines_.begin(), lines_.end(), [&](const Line& line) {
            return line.readable && line.record.date > record.date;
        });
        Line line;
        line.readable = true;
        line.record = record;
        lines_.insert(later, line);
    }
}

std::vector<DayRecord> HistoryFile::days() const {
    std::vector<DayRecord> result;
    for (const Line& line : lines_)
        if (line.readable)
            result.push_back(line.record);
    std::stable_sort(result.begin(), result.end(),
                     [](const DayRecord& a, const DayRecord& b) { return a.date < b.date; });
    return result;
}

bool HistoryFile::latestDate(CalendarDate& date) const {
    bool found = false;
    for (const Line& line : lines_) {
        if (line.readable && (!found || line.record.date > date)) {
            date = line.record.date;
            found = true;
        }
    }
    return found;
}

} // namespace keywhirl
