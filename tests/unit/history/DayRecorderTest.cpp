// tests/unit/history/DayRecorderTest.cpp - how key presses add up to days, on made-up clocks.
#include "history/DayRecorder.h"

#include "support/FakeClock.h"
#include "support/FakeLocalTime.h"
#include "unit/statistics/KeyEvents.h"

#include <gtest/gtest.h>

#include <atomic>

namespace keywhirl {
namespace {

using testing::backspace;
using testing::keyEvent;
using testing::letter;
using testing::Stroke;

const CalendarDate kMonday = CalendarDate::fromYmd(2026, 3, 2);

// The tick count and the wall clock move together unless a test sets the
// wall clock apart, as a user or a time-zone change would.
class DayRecorderTest : public ::testing::Test {
protected:
    DayRecorderTest() { wall.set(kMonday.dayNumber(), 9, 0); }

    void typeAfter(DWORD gap, const KeyInfoWrapper& event = letter()) {
        ticks.advance(gap);
        wall.advance(gap);
        KeyInfoWrapper timed(event);
        timed.setTime(utils::tickCount());
        recorder.handleKey(timed);
    }
    void typeEvery(DWORD gap, int presses) {
        for (int i = 0; i < presses; ++i)
            typeAfter(gap);
    }
    DayRecord only() {
        std::vector<DayRecord> days = recorder.days();
        EXPECT_EQ(days.size(), 1u);
        return days.empty() ? DayRecord{} : days.front();
    }

    testing::FakeClock ticks{5000};
    testing::FakeLocalTime wall;
    std::atomic<unsigned> waitInterval{3000};
    DayRecorder recorder{waitInterval};
};

TEST_F(DayRecorderTest, ADaysFiguresFromAKnownStream) {
    // Gaps 100, 300, 100, 300 ms: mean 200, spread 100, evenness 50.
    typeAfter(0);
    for (DWORD gap : {100u, 300u, 100u, 300u})
        typeAfter(gap);
    typeAfter(4000);                        // a hesitation, still typing time
    typeAfter(12000);                       // a break: no typing time
    typeAfter(50, backspace());             // takes one back...
    typeAfter(50, letter(Stroke::Release)); // ...releases count for nothing
    typeAfter(50, keyEvent(VK_SHIFT, 42));

    DayRecord day = only();
    EXPECT_EQ(day.date, kMonday);
    EXPECT_EQ(day.symbols, 7u);
    EXPECT_EQ(day.keptSymbols, 6u);
    // The Backspace's gap is typing time as well; Shift alone is not.
    EXPECT_EQ(day.intervals, 6u);
    EXPECT_EQ(day.activeMilliseconds, 4850u);
    EXPECT_EQ(day.hesitations, 1u);
    EXPECT_EQ(day.averageSpeed(), 7u * 60000 / 4850);
    EXPECT_EQ(day.effectiveness(), 85u);

    DayRecorder even(waitInterval);
    for (DWORD gap : {0u, 100u, 300u, 100u, 300u}) {
        ticks.advance(gap);
        even.handleKey(letter());
    }
    EXPECT_EQ(even.days().front().evenness(), 50u);
}

TEST_F(DayRecorderTest, GapsOverTenSecondsAreBreaksAndPausesOverTheWaitAreHesitations) {
    struct Case {
        DWORD gap;
        unsigned intervals;
        unsigned hesitations;
    };
    const Case cases[] = {
        {3000, 1, 0},  {3001, 1, 1},   {10000, 1, 1},
        {10001, 0, 0}, {600000, 0, 0}, {0xF0000000u, 0, 0},
    };
    for (const Case& c : cases) {
        DayRecorder fresh(waitInterval);
        fresh.handleKey(letter());
        ticks.advance(c.gap);
        fresh.handleKey(letter());
        DayRecord day = fresh.days().back();
        EXPECT_EQ(day.intervals, c.intervals) << c.gap;
        EXPECT_EQ(day.activeMilliseconds, c.intervals ? c.gap : 0u) << c.gap;
        EXPECT_EQ(day.hesitations, c.hesitations) << c.gap;
        EXPECT_EQ(day.symbols, 2u);
    }
    // The wait is read at each press.
    waitInterval = 5000;
    typeAfter(0);
    typeAfter(4000);
    EXPECT_EQ(only().hesitations, 0u);
}

TEST_F(DayRecorderTest, GapsSurviveTheTickCountersWrap) {
    ticks.set(0xFFFFFF00u);
    typeAfter(0);
    typeAfter(0x200); // lands at 0x100 after the wrap
    EXPECT_EQ(only().activeMilliseconds, 0x200u);
}

TEST_F(DayRecorderTest, MidnightWhileTypingSplitsTheDaysAtThePressAfterIt) {
    wall.set(kMonday.dayNumber(), 23, 59, 58);
    typeAfter(0);
    typeAfter(1000); // 23:59:59
    typeAfter(1500); // 00:00:00.5: this gap belongs to Tuesday
    typeAfter(500);
    std::vector<DayRecord> days = recorder.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].date, kMonday);
    EXPECT_EQ(days[0].symbols, 2u);
    EXPECT_EQ(days[0].activeMilliseconds, 1000u);
    EXPECT_EQ(days[1].date, kMonday + 1);
    EXPECT_EQ(days[1].symbols, 2u);
    EXPECT_EQ(days[1].intervals, 2u);
    EXPECT_EQ(days[1].activeMilliseconds, 2000u);
    EXPECT_EQ(recorder.today(), kMonday + 1);
}

TEST_F(DayRecorderTest, AClockSetBackAnHourOverMidnightKeepsCountingOnTheNewDay) {
    wall.set(kMonday.dayNumber() + 1, 0, 20);
    typeEvery(200, 3);
    wall.set(kMonday.dayNumber(), 23, 20); // back to Monday evening
    typeEvery(200, 4);
    EXPECT_EQ(recorder.today(), kMonday + 1);
    std::vector<DayRecord> days = recorder.days();
    ASSERT_EQ(days.size(), 1u) << "Monday, already finished, gets nothing";
    EXPECT_EQ(days[0].date, kMonday + 1);
    EXPECT_EQ(days[0].symbols, 7u);
    EXPECT_EQ(days[0].intervals, 6u) << "the tick count, not the wall clock, measures gaps";

    wall.set(kMonday.dayNumber() + 1, 0, 5); // the clock reaches Tuesday again
    typeAfter(200);
    wall.set(kMonday.dayNumber() + 2, 0, 5);
    typeAfter(200);
    days = recorder.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].symbols, 8u);
    EXPECT_EQ(days[1].date, kMonday + 2);
    EXPECT_EQ(days[1].symbols, 1u);
}

TEST_F(DayRecorderTest, AnEarlierRunsLatestDayIsContinuedAfterTheClockWentBack) {
    recorder.continueAfter(kMonday + 1);
    wall.set(kMonday.dayNumber(), 23, 30);
    typeAfter(0);
    EXPECT_EQ(only().date, kMonday + 1);

    DayRecorder older(waitInterval);
    older.continueAfter(kMonday - 5); // a week-old history: today is today
    older.handleKey(letter());
    EXPECT_EQ(older.days().front().date, kMonday);
}

TEST_F(DayRecorderTest, AClockCorrectedByDaysTakesTheDateItShows) {
    typeAfter(0);
    wall.set(kMonday.dayNumber() - 3, 10, 0);
    typeAfter(200);
    std::vector<DayRecord> days = recorder.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].date, kMonday - 3);
    EXPECT_EQ(days[0].symbols, 1u);
    EXPECT_EQ(days[1].date, kMonday);
    EXPECT_EQ(days[1].symbols, 1u);
}

TEST_F(DayRecorderTest, AGapOfSeveralDaysLeavesNoRowsBetweenAndNoTypingTime) {
    typeEvery(250, 3);
    const DWORD threeDays = 3 * 86400000u;
    typeAfter(threeDays);
    typeAfter(250);
    std::vector<DayRecord> days = recorder.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].date, kMonday);
    EXPECT_EQ(days[1].date, kMonday + 3);
    EXPECT_EQ(days[1].symbols, 2u);
    EXPECT_EQ(days[1].intervals, 1u);
    EXPECT_EQ(days[1].activeMilliseconds, 250u);
    EXPECT_EQ(days[1].bestSpeed, 2u) << "the minute before the gap is long gone";
}

TEST_F(DayRecorderTest, BestSpeedIsTheMostSymbolsInAMinuteNotASpikeOfTwoPresses) {
    typeAfter(0);
    typeAfter(50);
    EXPECT_EQ(only().bestMinuteSpeed(), only().averageSpeed())
        << "with less than a minute of typing time the best minute is the average";

    typeAfter(20000);
    typeEvery(250, 400); // 240 a minute, for 100 s
    typeEvery(500, 200); // then 120 a minute
    // The break is no typing time: the two presses before it share the minute.
    EXPECT_EQ(only().bestSpeed, 242u);
    EXPECT_EQ(only().bestMinuteSpeed(), 242u);
}

TEST_F(DayRecorderTest, BackspaceBeforeAnySymbolTakesNothingAndChangesCount) {
    EXPECT_EQ(recorder.changes(), 0u);
    typeAfter(0, backspace());
    typeAfter(0, keyEvent(VK_DELETE, 83));
    typeAfter(10, keyEvent(VK_F5, 63)); // a typing key too: its gap is typing time
    EXPECT_EQ(recorder.changes(), 3u);
    typeAfter(10);
    DayRecord day = only();
    EXPECT_EQ(day.symbols, 1u);
    EXPECT_EQ(day.keptSymbols, 1u);
}

} // namespace
} // namespace keywhirl
