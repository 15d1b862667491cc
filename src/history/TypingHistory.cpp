// src/history/TypingHistory.cpp
#include "history/TypingHistory.h"

#include "settings/Paths.h"
#include "utils/TickCount.h"

#include <windows.h>

namespace keywhirl {

TypingHistory::TypingHistory(std::wstring path, DayRecorder& recorder)
    : file(std::move(path)), recorder(recorder), lastSaveTick(utils::tickCount()),
      lastSaveDay(recorder.today()) {}

std::wstring TypingHistory::defaultPath() {
    return getHistoryFile();
}

std::wstring TypingHistory::folder() const {
    const std::wstring& full = file.path();
    const std::size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
}

HistoryFile::LoadResult TypingHistory::load() {
    if (file.path().empty())
        return HistoryFile::LoadResult::Unreadable;
    const HistoryFile::LoadResult result = file.load();
    loaded = result != HistoryFile::LoadResult::Unreadable;
    CalendarDate latest;
    if (loaded && file.latestDate(latest))
        recorder.continueAfter(latest);
    return result;
}

bool TypingHistory::save() {
    lastSaveTick = utils::tickCount();
    lastSaveDay = recorder.today();
    const unsigned long changes = recorder.changes();
    if (changes == savedChanges)
        return true;
    if (!loaded && load() == HistoryFile::LoadResult::Unreadable)
        return false;
    HistoryFile written = file;
    written.add(recorder.days());
    ::CreateDirectoryW(folder().c_str(), nullptr);
    if (!written.save())
        return false;
    savedChanges = changes;
    return true;
}

bool TypingHistory::saveIfDue() {
    if (DWORD(utils::tickCount() - lastSaveTick) < kSaveMilliseconds &&
        recorder.today() == lastSaveDay)
        return true;
    return save();
}

std::vector<DayRecord> TypingHistory::days() const {
    HistoryFile merged = file;
    merged.add(recorder.days());
    return merged.days();
}

} // namespace keywhirl
