// src/history/TypingHistory.h - the days in History.csv and this run's days, kept together.
#pragma once

#include "history/DayRecorder.h"
#include "history/HistoryFile.h"

#include <string>
#include <vector>

namespace keywhirl {

// Main thread only. The file is read once at start and kept as it was
// read; every save writes those lines with this run's figures added, so a
// day is never counted twice however often it is saved.
//
// A file that exists but cannot be read (a spreadsheet holding it, a
// denied access) is never overwritten: the saves try to read it again
// first and write only once that succeeds.
class TypingHistory {
public:
    // Today's row is written at least this often while the program runs.
    static constexpr DWORD kSaveMilliseconds = 10 * 60 * 1000;

    TypingHistory(std::wstring path, DayRecorder& recorder);

    // <application data>\Keywhirl\History.csv, beside Keywhirl.ini.
    static std::wstring defaultPath();

    const std::wstring& path() const { return file.path(); }
    // The folder that holds the file.
    std::wstring folder() const;

    // Reads the file and tells the recorder the latest day it holds.
    HistoryFile::LoadResult load();
    // Writes the file when this run has counted anything since the last
    // write. False when it could not be written (the old file is whole).
    bool save();
    // For a timer: saves when kSaveMilliseconds have passed since the last
    // save or the date has changed since then.
    bool saveIfDue();

    // Every readable day, this run's figures included, oldest first.
    std::vector<DayRecord> days() const;
    CalendarDate today() const { return recorder.today(); }

private:
    HistoryFile file;
    DayRecorder& recorder;
    bool loaded = false;
    unsigned long savedChanges = 0;
    DWORD lastSaveTick;
    CalendarDate lastSaveDay;
};

} // namespace keywhirl
