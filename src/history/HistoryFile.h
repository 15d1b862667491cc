// src/history/HistoryFile.h - History.csv: one line of figures per day.
#pragma once

#include "history/DayRecord.h"

#include <string>
#include <vector>

namespace keywhirl {

// A header line, then one line per day, oldest first: the ISO date, then
// comma-separated figures with a dot as the decimal mark whatever the
// locale, so a spreadsheet and a script read it alike. Columns are found by
// the header's names: a file from a version with fewer columns still
// reads, the missing sums worked out from the figures it has.
//
// A line that cannot be read (a damaged one, another day's second line, a
// spreadsheet's semicolons) is kept as it is, in its place, and skipped by
// everything that shows the history; it is never deleted.
class HistoryFile {
public:
    struct Line {
        bool readable = false;
        DayRecord record; // when readable
        std::string text; // when not: the line as it was, without its end
    };

    // SetAside: the file was too large to be a history of this program; it
    // was renamed to "<file>.too-large" (older ones of that name moving to
    // .too-large.1 and on) and the history starts empty.
    enum class LoadResult { Loaded, Missing, Unreadable, SetAside };

    // Larger files are not read: they are no history of this program.
    static constexpr std::size_t kMaxBytes = 32u * 1024 * 1024;

    explicit HistoryFile(std::wstring path);

    const std::wstring& path() const { return path_; }
    const std::vector<Line>& lines() const { return lines_; }

    // Reads the file, and removes a temporary that a crashed save left.
    // Missing leaves no lines; Unreadable (locked, denied, too large)
    // leaves the lines as they were. Line ends CR LF, LF or CR; UTF-8 with
    // or without its byte order mark, or UTF-16 (as spreadsheets save it).
    LoadResult load();
    // Writes header and lines through a temporary that replaces the file in
    // one step; on failure the old file stays whole.
    bool save() const;

    // Adds each record to the readable line of its date, or puts in a new
    // line in date order.
    void add(const std::vector<DayRecord>& records);
    // The readable days, oldest first.
    std::vector<DayRecord> days() const;
    // The latest readable date; false when there is none.
    bool latestDate(CalendarDate& date) const;

    // The text forms, apart from any file.
    static std::vector<Line> parse(const std::string& text);
    static std::string format(const std::vector<Line>& lines);
    static std::string header();
    void setLines(std::vector<Line> lines) { lines_ = std::move(lines); }

private:
    std::wstring path_;
    std::vector<Line> lines_;
};

} // namespace keywhirl
