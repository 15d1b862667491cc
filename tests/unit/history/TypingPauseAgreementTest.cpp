// tests/unit/history/TypingPauseAgreementTest.cpp - the weak keys and the history time the
// same pauses by the same rule, and the best minute never falls below the average.
#include "history/DayRecorder.h"
#include "weakkeys/WeakKeyRecorder.h"

#include "support/FakeLocalTime.h"
#include "unit/statistics/KeyEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace keywhirl {
namespace {

using testing::keyEvent;
using testing::Stroke;

const CalendarDate kMonday = CalendarDate::fromYmd(2026, 3, 2);

enum Key { A, B, Backspace, Delete, Left, Shift, F5, RepeatA, ReleaseA };

KeyInfoWrapper eventOf(Key key) {
    switch (key) {
    case A:
        return keyEvent('A', 0x1E);
    case B:
        return keyEvent('B', 0x30);
    case Backspace:
        return keyEvent(VK_BACK, 0x0E);
    case Delete:
        return keyEvent(VK_DELETE, 0x53);
    case Left:
        return keyEvent(VK_LEFT, 0x4B);
    case Shift:
        return keyEvent(VK_SHIFT, 0x2A);
    case F5:
        return keyEvent(VK_F5, 0x3F);
    case RepeatA:
        return keyEvent('A', 0x1E, Stroke::Repeat);
    case ReleaseA:
        return keyEvent('A', 0x1E, Stroke::Release);
    }
    return keyEvent(0, 0);
}

struct Step {
    DWORD after; // ms since the step before
    Key key;
};

// Both recorders fed the same events, each carrying its own time.
struct Session {
    explicit Session(const std::vector<Step>& steps) {
        wall.set(kMonday.dayNumber(), 9, 0);
        DWORD time = 0xFFFFF000u; // the tick counter wraps on the way
        for (const Step& step : steps) {
            time += step.after;
            wall.advance(step.after);
            KeyInfoWrapper event = eventOf(step.key);
            event.setTime(time);
            weakKeys.handleKey(event);
            history.handleKey(event);
        }
    }
    unsigned weakKeyHesitations() const {
        unsigned sum = 0;
        for (unsigned index = 0; index < WeakKeyRecorder::kKeyCount; ++index)
            sum += weakKeys.counts(index).hesitations;
        return sum;
    }
    DayRecord day() const {
        const std::vector<DayRecord> days = history.days();
        return days.empty() ? DayRecord{} : days.front();
    }

    testing::FakeLocalTime wall;
    std::atomic<unsigned> wait{3000};
    WeakKeyRecorder weakKeys{&wait};
    DayRecorder history{wait};
};

TEST(TypingPauseAgreement, WeakKeysAndHistoryCountTheSameHesitations) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        unsigned hesitations;
        std::uint64_t intervals;
        std::uint64_t typingMilliseconds;
        std::uint64_t symbols;
    };
    const Case cases[] = {
        {"a pause before a symbol", {{0, A}, {3001, B}}, 1, 1, 3001, 2},
        {"exactly the wait", {{0, A}, {3000, B}}, 0, 1, 3000, 2},
        {"a pause before Backspace", {{0, A}, {4000, Backspace}}, 1, 1, 4000, 1},
        {"a pause before Delete", {{0, A}, {5000, Delete}}, 1, 1, 5000, 1},
        {"pauses before arrows", {{0, A}, {3500, Left}, {100, Left}, {3500, B}}, 2, 3, 7100, 2},
        {"a slow Backspace run is no hesitation",
         {{0, A}, {2000, Backspace}, {2000, Backspace}, {2000, B}},
         0,
         3,
         6000,
         2},
        {"a function key is a typing key", {{0, A}, {3500, F5}, {3500, B}}, 2, 2, 7000, 2},
        {"a held key is no hesitation", {{0, A}, {3500, RepeatA}, {100, B}}, 0, 2, 3600, 3},
        {"a pause after a held key", {{0, A}, {100, RepeatA}, {3500, B}}, 1, 2, 3600, 3},
        {"Shift alone does not end a pause", {{0, A}, {2000, Shift}, {2000, B}}, 1, 1, 4000, 2},
        {"a release does not end a pause", {{0, A}, {2000, ReleaseA}, {2000, B}}, 1, 1, 4000, 2},
        {"a break of exactly 10 s", {{0, A}, {10000, B}}, 1, 1, 10000, 2},
        {"a break of 10.001 s", {{0, A}, {10001, B}}, 0, 0, 0, 2},
        {"a break before Backspace", {{0, A}, {10001, Backspace}, {3001, B}}, 1, 1, 3001, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session session(c.steps);
        const DayRecord day = session.day();
        EXPECT_EQ(session.weakKeyHesitations(), c.hesitations);
        EXPECT_EQ(day.hesitations, c.hesitations);
        EXPECT_EQ(day.intervals, c.intervals);
        EXPECT_EQ(day.activeMilliseconds, c.typingMilliseconds);
        EXPECT_EQ(day.symbols, c.symbols);
    }
}

// n symbols every gap ms, after `after` ms.
std::vector<Step> run(int n, DWORD gap, DWORD after, Key key = A) {
    std::vector<Step> steps;
    for (int i = 0; i < n; ++i)
        steps.push_back({i == 0 ? after : gap, key});
    return steps;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TypingPauseAgreement, TheBestMinuteIsNeverBelowTheAverage) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        unsigned average;
        unsigned best;
    };
    const Case cases[] = {
        // 298 symbols in 14.85 s: every one of them counts.
        {"less than a minute of typing", run(298, 50, 0), 298 * 60000 / 14850, 298 * 60000 / 14850},
        {"one symbol", run(1, 0, 0), 0, 0},
        {"an even 250 ms for 100 s", run(401, 250, 0), 401 * 60000 / 100000, 240},
        // Breaks are left out of both: the minute holds symbols from both sides.
        {"bursts between breaks", run(200, 150, 0) + run(200, 150, 30000) + run(200, 150, 30000),
         600 * 60000 / 89550, 402},
        {"pauses of exactly 10 s are typing time", run(8, 10000, 0), 8 * 60000 / 70000, 6},
        // Symbols at both ends of 75 s of arrow presses: no minute holds more
        // than three, the average is four.
        {"symbols only at the ends", run(3, 100, 0) + run(14, 5000, 5000, Left) + run(3, 100, 5000),
         4, 4},
        {"a quick start, then slow", run(300, 100, 0) + run(40, 2000, 2000),
         340 * 60000 / (299 * 100 + 40 * 2000), 300 + 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session session(c.steps);
        const DayRecord day = session.day();
        EXPECT_EQ(day.averageSpeed(), c.average);
        EXPECT_EQ(day.bestMinuteSpeed(), c.best);
        EXPECT_GE(day.bestMinuteSpeed(), day.averageSpeed());
    }
}

} // namespace
} // namespace keywhirl
