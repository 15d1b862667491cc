// tests/unit/history/TypingPauseAgreementTest.cpp - the weak keys and the history time the
// same pauses by one rule; the best minute never falls below the average.
#include "history/DayRecorder.h"
#include "weakkeys/WeakKeyRecorder.h"

#include "support/FakeLocalTime.h"
#include "unit/statistics/KeyEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace keywhirl {
namespace {

using testing::keyEvent;
using testing::Stroke;

enum Key { A, Backspace, Delete, Left, Shift, F5, RepeatA, ReleaseA };
const KeyInfoWrapper kEvents[] = {keyEvent('A', 0x1E),
                                  keyEvent(VK_BACK, 0x0E),
                                  keyEvent(VK_DELETE, 0x53),
                                  keyEvent(VK_LEFT, 0x4B),
                                  keyEvent(VK_SHIFT, 0x2A),
                                  keyEvent(VK_F5, 0x3F),
                                  keyEvent('A', 0x1E, Stroke::Repeat),
                                  keyEvent('A', 0x1E, Stroke::Release)};

struct Step {
    DWORD after; // ms since the step before
    Key key;
};
using Steps = std::vector<Step>;

// n presses of a key, gap ms apart, the first `after` ms after what went before.
Steps run(int n, DWORD gap, DWORD after = 0, Key key = A) {
    Steps steps;
    for (int i = 0; i < n; ++i)
        steps.push_back({i == 0 ? after : gap, key});
    return steps;
}
Steps operator+(Steps a, const Steps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TypingPauseAgreement, WeakKeysAndHistoryCountTheSameHesitationsAndBestIsNeverBelowAverage) {
    struct Case {
        const char* name;
        Steps steps;
        unsigned hesitations;
        std::uint64_t typingMilliseconds;
        unsigned average;
        unsigned best;
    };
    const Case cases[] = {
        {"a pause before a symbol", {{0, A}, {3001, A}}, 1, 3001, 39, 39},
        {"exactly the wait", {{0, A}, {3000, A}}, 0, 3000, 40, 40},
        {"before Backspace and Delete", {{0, A}, {4000, Backspace}, {5000, Delete}}, 2, 9000, 6, 6},
        {"before arrows and F5", {{0, A}, {3500, Left}, {100, F5}, {3500, A}}, 2, 7100, 16, 16},
        {"a slow Backspace run",
         {{0, A}, {2000, Backspace}, {2000, Backspace}, {2000, A}},
         0,
         6000,
         20,
         20},
        {"a held key", {{0, A}, {3500, RepeatA}, {100, A}}, 0, 3600, 50, 50},
        {"a pause after a held key", {{0, A}, {100, RepeatA}, {3500, A}}, 1, 3600, 50, 50},
        {"Shift alone or a release",
         {{0, A}, {2000, Shift}, {2000, ReleaseA}, {2000, A}},
         1,
         6000,
         20,
         20},
        {"a break of exactly 10 s", {{0, A}, {10000, A}}, 1, 10000, 12, 12},
        {"a break of 10.001 s", {{0, A}, {10001, A}}, 0, 0, 0, 0},
        {"a break, then a hesitation", {{0, A}, {10001, Backspace}, {3001, A}}, 1, 3001, 39, 39},
        // Less than a minute of typing: every symbol counts, best is the average.
        {"298 symbols in 14.85 s", run(298, 50), 0, 14850, 1204, 1204},
        {"an even 250 ms for 100 s", run(401, 250), 0, 100000, 240, 240},
        // Breaks are no typing time: the minute holds symbols from both sides.
        {"bursts between breaks", run(200, 150) + run(200, 150, 30000) + run(200, 150, 30000), 0,
         89550, 402, 402},
        {"a quick start, then slow", run(300, 100) + run(40, 2000, 2000), 0, 109900, 185, 315},
        // Symbols at both ends of 75 s of arrows: no minute holds more than
        // three, the average is four.
        {"symbols only at the ends", run(3, 100) + run(14, 5000, 5000, Left) + run(3, 100, 5000),
         15, 75400, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::FakeLocalTime wall;
        wall.set(CalendarDate::fromYmd(2026, 3, 2).dayNumber(), 9, 0);
        std::atomic<unsigned> wait{3000};
        WeakKeyRecorder weakKeys(&wait);
        DayRecorder history(wait);
        DWORD time = 0xFFFFF000u; // the tick counter wraps on the way
        for (const Step& step : c.steps) {
            time += step.after;
            wall.advance(step.after);
            KeyInfoWrapper event = kEvents[step.key];
            event.setTime(time);
            weakKeys.handleKey(event);
            history.handleKey(event);
        }
        unsigned weakKeyHesitations = 0;
        for (unsigned index = 0; index < WeakKeyRecorder::kKeyCount; ++index)
            weakKeyHesitations += weakKeys.counts(index).hesitations;
        ASSERT_EQ(history.days().size(), 1u);
        const DayRecord day = history.days().front();
        EXPECT_EQ(weakKeyHesitations, c.hesitations);
        EXPECT_EQ(day.hesitations, c.hesitations);
        EXPECT_EQ(day.activeMilliseconds, c.typingMilliseconds);
        EXPECT_EQ(day.averageSpeed(), c.average);
        EXPECT_EQ(day.bestMinuteSpeed(), c.best);
    }
}

} // namespace
} // namespace keywhirl
