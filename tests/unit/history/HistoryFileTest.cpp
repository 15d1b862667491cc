// tests/unit/history/HistoryFileTest.cpp - History.csv read, written and kept whole.
#include "history/HistoryFile.h"
#include "history/TypingHistory.h"

#include "support/FakeClock.h"
#include "support/FailingWriter.h"
#include "support/FakeLocalTime.h"
#include "support/TempFolder.h"
#include "support/TextBytes.h"
#include "unit/statistics/KeyEvents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace keywhirl {
namespace {

const CalendarDate kFirst = CalendarDate::fromYmd(2016, 12, 9);

std::string readText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::wstring& path, const std::string& text) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

DayRecord sampleDay(CalendarDate date, std::uint64_t symbols) {
    DayRecord day;
    day.date = date;
    day.symbols = symbols;
    day.keptSymbols = symbols * 9 / 10;
    day.intervals = symbols - 3;
    day.activeMilliseconds = day.intervals * 187 + 13;
    day.intervalSquares = day.intervals * 187 * 187 * 5 / 4;
    day.bestSpeed = 411; // above the average, as the recorder makes it
    day.hesitations = symbols / 40;
    return day;
}

void expectSame(const DayRecord& a, const DayRecord& b) {
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.symbols, b.symbols);
    EXPECT_EQ(a.keptSymbols, b.keptSymbols);
    EXPECT_EQ(a.intervals, b.intervals);
    EXPECT_EQ(a.activeMilliseconds, b.activeMilliseconds);
    EXPECT_EQ(a.intervalSquares, b.intervalSquares);
    EXPECT_EQ(a.bestSpeed, b.bestSpeed);
    EXPECT_EQ(a.hesitations, b.hesitations);
}

TEST(HistoryFile, TenYearsOfDaysGoRoundTripExactly) {
    testing::TempFolder folder;
    HistoryFile file(folder.file(L"History.csv"));
    std::vector<DayRecord> days;
    for (int i = 0; i < 3650; ++i)
        days.push_back(sampleDay(kFirst + i, 1000 + std::uint64_t(i) * 7));
    file.add(days);
    ASSERT_TRUE(file.save());

    HistoryFile again(file.path());
    ASSERT_EQ(again.load(), HistoryFile::LoadResult::Loaded);
    std::vector<DayRecord> read = again.days();
    ASSERT_EQ(read.size(), 3650u);
    for (std::size_t i = 0; i < read.size(); i += 97)
        expectSame(read[i], days[i]);
    expectSame(read.back(), days.back());
    EXPECT_EQ(read.back().date.toIso(), "2026-12-06");

    const std::string text = readText(file.path());
    EXPECT_EQ(text.substr(0, text.find("\r\n")), HistoryFile::header());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3651);
    EXPECT_EQ(text.find(';'), std::string::npos);
}

TEST(HistoryFile, FiguresAreWrittenWithADotWhateverTheLocale) {
    DayRecord day;
    day.date = CalendarDate::fromYmd(2026, 3, 2);
    day.symbols = 7;
    day.keptSymbols = 6;
    day.intervals = 5;
    day.activeMilliseconds = 4800;
    day.intervalSquares = 5 * 200 * 200 + 4 * 100 * 100; // not even
    day.bestSpeed = 6;
    day.hesitations = 1;
    HistoryFile::Line line;
    line.readable = true;
    line.record = day;
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    EXPECT_EQ(HistoryFile::format({line}),
              HistoryFile::header() + "\r\n2026-03-02,7,4.800,87.5,87,85," +
                  std::to_string(day.evenness()) + ",1,6,5,240000\r\n");
}

TEST(HistoryFile, AFileFromAnOlderVersionWithoutSomeColumnsStillReads) {
    // No hesitations and none of the sums: the figures give them back.
    const std::string older = "date,symbols,activeSeconds,averageSpeed,bestSpeed,effectiveness,"
                              "evenness\r\n"
                              "2026-03-01,1000,300.000,180.0,240,90,50\r\n"
                              "2026-03-02,10,0.000,,0,100,0\n"; // an empty cell
    std::vector<HistoryFile::Line> lines = HistoryFile::parse(older);
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_TRUE(lines[0].readable);
    const DayRecord& day = lines[0].record;
    EXPECT_EQ(day.symbols, 1000u);
    EXPECT_EQ(day.activeMilliseconds, 300000u);
    EXPECT_EQ(day.intervals, 900u);
    // Symbols per minute of typing time: the older files counted the gaps.
    EXPECT_EQ(day.averageSpeed(), 200u);
    EXPECT_EQ(day.effectiveness(), 90u);
    EXPECT_EQ(day.evenness(), 50u);
    EXPECT_EQ(day.bestSpeed, 240u);
    EXPECT_EQ(day.hesitations, 0u);
    ASSERT_TRUE(lines[1].readable);
    EXPECT_EQ(lines[1].record.symbols, 10u);

    // Written again, it has every column of this version.
    const std::string text = HistoryFile::format(lines);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), HistoryFile::header());
    std::vector<HistoryFile::Line> again = HistoryFile::parse(text);
    ASSERT_EQ(again.size(), 2u);
    expectSame(again[0].record, day);

    // Columns in another order and one unknown to this version.
    lines = HistoryFile::parse("date,future,symbols\n2026-03-01,x,12\n");
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_TRUE(lines[0].readable);
    EXPECT_EQ(lines[0].record.symbols, 12u);
}

TEST(HistoryFile, DamagedLinesAreKeptInPlaceAndSkipped) {
    const std::string good = "2026-03-02,7,4.800,87.5,87,85,100,1,6,5,4608000";
    const std::string damaged[] = {
        "2026-03-03,7,4,800,62,5,6,85,50,1,6,5,240000", // a comma as decimal mark
        "2026-03-04;7;4.800;62.5;6;85;50;1;6;5;240000", // a spreadsheet's semicolons
        "2026-02-30,7,4.800,62.5,6,85,50,1,6,5,240000", // no such date
        "03/05/2026,7,4.800,62.5,6,85,50,1,6,5,240000",
        "2026-03-06,-7,4.800,62.5,6,85,50,1,6,5,240000",
        "2026-03-07,7,4.800,62.5,6,85,50,1,6,5",
        "2026-03-08,7,4.800,1e3,6,85,50,1,6,5,240000",
        "2026-03-02,9,4.800,62.5,6,85,50,1,6,5,240000", // a second line for a day
        "2026-03-09,99999999999999999999,0,0,0,0,0,0,0,0,0",
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
    };
    std::string text = HistoryFile::header() + "\r\n" + good + "\r\n";
    for (const std::string& line : damaged)
        text += line + "\r\n";
    text += "\r\n2026-03-10,1,0.000,0.0,0,100,0,0,1,0,0"; // a blank line, no end on the last

    testing::TempFolder folder;
    HistoryFile file(folder.file(L"History.csv"));
    writeText(file.path(), text);
    ASSERT_EQ(file.load(), HistoryFile::LoadResult::Loaded);
    std::vector<DayRecord> days = file.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].symbols, 7u);
    EXPECT_EQ(days[1].date, CalendarDate::fromYmd(2026, 3, 10));

    // Adding a day and saving leaves every damaged line as it was, in its place.
    DayRecord added;
    added.date = CalendarDate::fromYmd(2026, 3, 10);
    added.symbols = 4;
    file.add({added});
    ASSERT_TRUE(file.save());
    std::string expected = HistoryFile::header() + "\r\n" + good + "\r\n";
    for (const std::string& line : damaged)
        expected += line + "\r\n";
    expected += "2026-03-10,5,0.000,0.0,0,20,0,0,1,0,0\r\n";
    EXPECT_EQ(readText(file.path()), expected);
}

TEST(HistoryFile, NewDaysGoInDateOrderAndSameDaysAddUp) {
    HistoryFile file(L"");
    file.setLines(HistoryFile::parse("date,symbols\n2026-03-01,10\n2026-03-05,20\n"));
    DayRecord early, middle, same, late;
    early.date = CalendarDate::fromYmd(2026, 2, 20);
    middle.date = CalendarDate::fromYmd(2026, 3, 3);
    same.date = CalendarDate::fromYmd(2026, 3, 5);
    late.date = CalendarDate::fromYmd(2026, 3, 9);
    early.symbols = middle.symbols = same.symbols = late.symbols = 1;
    same.bestSpeed = 50;
    file.add({late, middle, same, early});
    std::vector<std::string> dates;
    for (const HistoryFile::Line& line : file.lines())
        dates.push_back(line.record.date.toIso());
    EXPECT_EQ(dates, (std::vector<std::string>{"2026-02-20", "2026-03-01", "2026-03-03",
                                               "2026-03-05", "2026-03-09"}));
    EXPECT_EQ(file.lines()[3].record.symbols, 21u);
    EXPECT_EQ(file.lines()[3].record.bestSpeed, 50u);
}

TEST(HistoryFile, AFailingWriteLeavesTheOldFileWhole) {
    testing::TempFolder folder;
    HistoryFile file(folder.file(L"History.csv"));
    file.add({sampleDay(kFirst, 500)});
    ASSERT_TRUE(file.save());
    const std::string before = readText(file.path());

    // The temporary cannot be made: a folder stands in its place.
    ASSERT_TRUE(::CreateDirectoryW((file.path() + L".tmp").c_str(), nullptr));
    file.add({sampleDay(kFirst + 1, 600)});
    EXPECT_FALSE(file.save());
    EXPECT_EQ(readText(file.path()), before);
    ::RemoveDirectoryW((file.path() + L".tmp").c_str());

    // The file cannot be replaced: another program holds it open.
    HANDLE held = ::CreateFileW(file.path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.save());
    ::CloseHandle(held);
    EXPECT_EQ(readText(file.path()), before);
    EXPECT_EQ(::GetFileAttributesW((file.path() + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(file.save());
    EXPECT_NE(readText(file.path()), before);
}

using testing::utf16Bytes;

// Every earlier day survives a start and a save, however the file was
// saved by a spreadsheet or an editor.
TEST(HistoryFile, HostileFilesKeepEveryDay) {
    const std::string days[] = {"date,symbols,activeSeconds", "2026-03-01,10,5.000",
                                "2026-03-02,20,9.000", "2026-03-03,30,11.500"};
    auto joined = [&](const std::string& end) {
        std::string text;
        for (const std::string& line : days)
            text += line + end;
        return text;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::uint64_t firstSymbols;
    } cases[] = {
        {"CR LF", joined("\r\n"), 10},
        {"LF", joined("\n"), 10},
        {"CR only", joined("\r"), 10},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + joined("\r\n"), 10},
        {"UTF-16", utf16Bytes(joined("\r\n"), false), 10},
        {"UTF-16 big endian, CR only", utf16Bytes(joined("\r"), true), 10},
        {"symbols near the largest",
         "date,symbols\n2026-03-01,18446744073709551000\n2026-03-02,1\n2026-03-03,1\n", UINT64_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempFolder folder;
        HistoryFile file(folder.file(L"History.csv"));
        writeText(file.path(), c.bytes);
        ASSERT_EQ(file.load(), HistoryFile::LoadResult::Loaded);
        DayRecord more;
        more.date = kFirst; // an earlier day, so the three stay the last three
        more.symbols = 1000;
        DayRecord sameDay = more;
        sameDay.date = CalendarDate::fromYmd(2026, 3, 1);
        file.add({more, sameDay});
        ASSERT_TRUE(file.save());
        HistoryFile again(file.path());
        ASSERT_EQ(again.load(), HistoryFile::LoadResult::Loaded);
        std::vector<DayRecord> read = again.days();
        ASSERT_EQ(read.size(), 4u) << readText(file.path());
        EXPECT_EQ(read[1].date, CalendarDate::fromYmd(2026, 3, 1));
        EXPECT_EQ(read[1].symbols,
                  c.firstSymbols == UINT64_MAX ? UINT64_MAX : c.firstSymbols + 1000)
            << "a sum stops at the largest value";
        EXPECT_EQ(read[3].date, CalendarDate::fromYmd(2026, 3, 3));
        EXPECT_EQ(readText(file.path()).compare(0, 4, "date"), 0) << "written as UTF-8";
    }
}

// A disk that fills up half way, reporting it or not: the old file stays
// byte for byte and no temporary is left.
TEST(HistoryFile, ASaveThatFailsHalfWayLeavesTheOldFileAndNoTemporary) {
    testing::TempFolder folder;
    HistoryFile file(folder.file(L"History.csv"));
    file.add({sampleDay(kFirst, 500)});
    ASSERT_TRUE(file.save());
    const std::string before = readText(file.path());
    file.add({sampleDay(kFirst + 1, 600)});
    for (auto kind : {testing::FailingWriter::Honest, testing::FailingWriter::Lying}) {
        for (DWORD fits : {0ul, 10ul, DWORD(before.size())}) {
            SCOPED_TRACE(fits);
            testing::FailingWriter full(kind, fits);
            EXPECT_FALSE(file.save());
            EXPECT_EQ(readText(file.path()), before);
            EXPECT_EQ(::GetFileAttributesW((file.path() + L".tmp").c_str()),
                      INVALID_FILE_ATTRIBUTES);
        }
    }
    EXPECT_TRUE(file.save());
}

TEST(HistoryFile, AFileTooLargeToBeAHistoryIsSetAsideNotOverwritten) {
    testing::TempFolder folder;
    HistoryFile file(folder.file(L"History.csv"));
    {
        HANDLE big =
            ::CreateFileW(file.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(big, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = LONGLONG(HistoryFile::kMaxBytes) + 1;
        ::SetFilePointerEx(big, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(big);
        ::CloseHandle(big);
    }
    EXPECT_EQ(file.load(), HistoryFile::LoadResult::SetAside);
    EXPECT_TRUE(file.lines().empty());
    WIN32_FILE_ATTRIBUTE_DATA aside = {};
    ASSERT_TRUE(::GetFileAttributesExW((file.path() + L".too-large").c_str(), GetFileExInfoStandard,
                                       &aside));
    EXPECT_EQ(aside.nFileSizeLow, DWORD(HistoryFile::kMaxBytes) + 1);
    EXPECT_EQ(::GetFileAttributesW(file.path().c_str()), INVALID_FILE_ATTRIBUTES);

    // A second one moves the first to .too-large.1.
    ASSERT_TRUE(::CopyFileW((file.path() + L".too-large").c_str(), file.path().c_str(), TRUE));
    EXPECT_EQ(file.load(), HistoryFile::LoadResult::SetAside);
    EXPECT_NE(::GetFileAttributesW((file.path() + L".too-large").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW((file.path() + L".too-large.1").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

// The keeper of the file: this run's days added to what the file held.
class TypingHistoryTest : public ::testing::Test {
protected:
    TypingHistoryTest() { wall.set(CalendarDate::fromYmd(2026, 3, 2).dayNumber(), 10, 0); }
    void type(int symbols) {
        for (int i = 0; i < symbols; ++i) {
            ticks.advance(200);
            wall.advance(200);
            recorder.handleKey(testing::letter());
        }
    }
    testing::FakeClock ticks{5000};
    testing::FakeLocalTime wall;
    testing::TempFolder folder;
    std::atomic<unsigned> waitInterval{3000};
    DayRecorder recorder{waitInterval};
};

TEST_F(TypingHistoryTest, SavingTwiceNeverCountsADayTwiceAndARestartContinuesIt) {
    writeText(folder.file(L"History.csv"), "date,symbols\r\n2026-03-01,40\r\n2026-03-02,100\r\n");
    {
        TypingHistory history(folder.file(L"History.csv"), recorder);
        ASSERT_EQ(history.load(), HistoryFile::LoadResult::Loaded);
        type(30);
        ASSERT_TRUE(history.save());
        ASSERT_TRUE(history.save());
        type(5);
        ASSERT_TRUE(history.save());
        std::vector<DayRecord> days = history.days();
        ASSERT_EQ(days.size(), 2u);
        EXPECT_EQ(days[1].symbols, 135u);
    }
    DayRecorder nextRun(waitInterval);
    TypingHistory next(folder.file(L"History.csv"), nextRun);
    ASSERT_EQ(next.load(), HistoryFile::LoadResult::Loaded);
    EXPECT_EQ(next.days()[1].symbols, 135u);
    EXPECT_EQ(next.days()[0].symbols, 40u);
}

TEST_F(TypingHistoryTest, NothingTypedWritesNothingAndAnUnreadableFileIsNeverOverwritten) {
    TypingHistory history(folder.file(L"History.csv"), recorder);
    EXPECT_EQ(history.load(), HistoryFile::LoadResult::Missing);
    EXPECT_TRUE(history.save());
    EXPECT_EQ(::GetFileAttributesW(history.path().c_str()), INVALID_FILE_ATTRIBUTES);

    // A file that appears and is held without sharing cannot be read back.
    writeText(history.path(), "date,symbols\r\n2026-03-01,40\r\n");
    DayRecorder locked(waitInterval);
    TypingHistory blocked(history.path(), locked);
    HANDLE held =
        ::CreateFileW(history.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(blocked.load(), HistoryFile::LoadResult::Unreadable);
    locked.handleKey(testing::letter());
    EXPECT_FALSE(blocked.save());
    ::CloseHandle(held);
    EXPECT_EQ(readText(history.path()), "date,symbols\r\n2026-03-01,40\r\n");
    // Once it can be read, the next save keeps its days and adds today.
    EXPECT_TRUE(blocked.save());
    ASSERT_EQ(blocked.days().size(), 2u);
    EXPECT_EQ(blocked.days()[0].symbols, 40u);
}

TEST_F(TypingHistoryTest, TheTimerSavesEveryTenMinutesAndWhenTheDateChanges) {
    TypingHistory history(folder.file(L"History.csv"), recorder);
    history.load();
    type(3);
    ticks.advance(TypingHistory::kSaveMilliseconds - 1000);
    EXPECT_TRUE(history.saveIfDue());
    EXPECT_EQ(::GetFileAttributesW(history.path().c_str()), INVALID_FILE_ATTRIBUTES);
    ticks.advance(1000);
    EXPECT_TRUE(history.saveIfDue());
    EXPECT_NE(::GetFileAttributesW(history.path().c_str()), INVALID_FILE_ATTRIBUTES);

    type(2);
    wall.set(CalendarDate::fromYmd(2026, 3, 3).dayNumber(), 0, 1);
    EXPECT_TRUE(history.saveIfDue());
    EXPECT_NE(readText(history.path()).find("2026-03-02,5,"), std::string::npos);
}

} // namespace
} // namespace keywhirl
