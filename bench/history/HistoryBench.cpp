// bench/history/HistoryBench.cpp - what ten years of typing history cost to load, show and
// save, and what the day recorder adds to each key record.
#include "BenchSupport.h"

#include "history/DayRecorder.h"
#include "history/HistoryFile.h"
#include "history/HistoryView.h"
#include "history/TypingHistory.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

using namespace keywhirl;

namespace {

void report(const char* what, double seconds, int count, double goalMilliseconds) {
    const double each = seconds * 1e3 / count;
    if (goalMilliseconds > 0)
        std::printf("%-56s %8.4f ms   goal < %g ms: %s\n", what, each, goalMilliseconds,
                    each < goalMilliseconds ? "met" : "MISSED");
    else
        std::printf("%-56s %8.4f ms\n", what, each);
}

KeyInfoWrapper symbolKey() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = 'A';
    record.keyData = 1 | (30 << 16);
    // Ten keys a second, as the hook would time them.
    static DWORD time = 0;
    time += 100;
    record.time = time;
    return KeyInfoWrapper(record);
}

} // namespace

int main() {
    const std::wstring folder = bench::makeTempFolder(L"keywhirl-history-bench");
    const std::wstring path = folder + L"\\History.csv";

    // Ten years of busy days, every figure filled in.
    const CalendarDate first = CalendarDate::fromYmd(2016, 1, 1);
    std::vector<DayRecord> days;
    for (int i = 0; i < 3650; ++i) {
        DayRecord day;
        day.date = first + i;
        day.symbols = 20000 + std::uint64_t(i % 977) * 13;
        day.keptSymbols = day.symbols * 93 / 100;
        day.intervals = day.symbols - 40;
        day.activeMilliseconds = day.intervals * 231;
        day.intervalSquares = day.intervals * 231 * 231 * 3 / 2;
        day.bestSpeed = 380;
        day.hesitations = 57;
        days.push_back(day);
    }
    HistoryFile written(path);
    written.add(days);
    if (!written.save()) {
        std::printf("could not write %ls\n", path.c_str());
        return 1;
    }

    constexpr int kLoads = 50;
    double start = bench::now();
    std::size_t read = 0;
    for (int i = 0; i < kLoads; ++i) {
        HistoryFile file(path);
        file.load();
        read += file.days().size();
    }
    report("loading History.csv with 3,650 days", bench::now() - start, kLoads, 50);
    if (read != std::size_t(kLoads) * 3650)
        std::printf("read %zu days instead of %d\n", read, kLoads * 3650);

    std::atomic<unsigned> wait{3000};
    DayRecorder recorder(wait);
    TypingHistory history(path, recorder);
    history.load();
    recorder.handleKey(symbolKey());
    start = bench::now();
    for (int i = 0; i < kLoads; ++i)
        HistoryView::of(history.days(), history.today());
    report("the history window's refresh over 3,650 days", bench::now() - start, kLoads, 50);

    start = bench::now();
    for (int i = 0; i < kLoads; ++i) {
        recorder.handleKey(symbolKey());
        history.save();
    }
    report("saving History.csv with 3,650 days", bench::now() - start, kLoads, 0);

    constexpr int kKeys = 200000;
    start = bench::now();
    for (int i = 0; i < kKeys; ++i)
        recorder.handleKey(symbolKey());
    report("the day recorder's work per key record", bench::now() - start, kKeys, 0.01);

    ::DeleteFileW(path.c_str());
    ::RemoveDirectoryW(folder.c_str());
    return 0;
}
