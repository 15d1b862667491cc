// tests/unit/utils/TimeCheckerTest.cpp
#include "utils/TimeChecker.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

class CountingChecker : public TimeChecker {
public:
    explicit CountingChecker(const std::atomic<unsigned>* interval) : TimeChecker(interval) {}
    void onTimeElapsed() override { ++fired; }
    int fired = 0;
};

TEST(TimeChecker, FiresOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
    testing::FakeClock clock(5000);
    std::atomic<unsigned> interval{100};
    CountingChecker checker(&interval);

    clock.advance(100);
    checker.check();
    EXPECT_EQ(checker.fired, 0) << "exactly the interval is not more than it";

    clock.advance(1);
    checker.check();
    EXPECT_EQ(checker.fired, 1);

    checker.check();
    EXPECT_EQ(checker.fired, 1) << "the check resets before it fires";
}

TEST(TimeChecker, ZeroIntervalFiresAfterOneMillisecondButNotAtTheSameTick) {
    testing::FakeClock clock(7);
    std::atomic<unsigned> interval{0};
    CountingChecker checker(&interval);

    checker.check();
    EXPECT_EQ(checker.fired, 0);
    clock.advance(1);
    checker.check();
    EXPECT_EQ(checker.fired, 1);
}

TEST(TimeChecker, MeasuresAcrossTheWrapOfTheTickCounter) {
    testing::FakeClock clock(4294967000u);
    std::atomic<unsigned> interval{495};
    CountingChecker checker(&interval);

    clock.set(200); // 496 ms later, after the wrap
    checker.check();
    EXPECT_EQ(checker.fired, 1);

    interval = 496;
    clock.set(4294967000u);
    checker.reset();
    clock.set(200);
    checker.check();
    EXPECT_EQ(checker.fired, 1) << "496 is not more than 496";
}

TEST(TimeChecker, ReadsTheIntervalAnewAtEveryCheck) {
    testing::FakeClock clock(0);
    std::atomic<unsigned> interval{1000};
    CountingChecker checker(&interval);

    clock.advance(500);
    checker.check();
    EXPECT_EQ(checker.fired, 0);
    interval = 400;
    checker.check();
    EXPECT_EQ(checker.fired, 1);
}

// A thread sleeps this long before its check: waking one tick early would
// find nothing due, one tick late would be a late hint.
TEST(TimeChecker, TimeLeftEndsExactlyWhereTheCheckActs) {
    struct Case {
        DWORD start;
        unsigned interval;
        DWORD elapsed;
        DWORD left;
    };
    const Case cases[] = {
        {0, 100, 0, 101},           {0, 100, 99, 2}, {0, 100, 100, 1}, {0, 100, 101, 0},
        {0, 100, 5000, 0},          {0, 0, 0, 1},    {0, 0, 1, 0},     {4294967000u, 495, 300, 196},
        {4294967000u, 495, 496, 0},
    };
    for (const Case& c : cases) {
        testing::FakeClock clock(c.start);
        std::atomic<unsigned> interval{c.interval};
        CountingChecker checker(&interval);
        clock.advance(c.elapsed);
        EXPECT_EQ(checker.millisecondsLeft(), c.left)
            << "interval " << c.interval << ", elapsed " << c.elapsed;
        clock.advance(checker.millisecondsLeft());
        checker.check();
        EXPECT_EQ(checker.fired, 1) << "due once the time left has passed";
    }
}

TEST(TimeChecker, ResetPostponesTheAction) {
    testing::FakeClock clock(0);
    std::atomic<unsigned> interval{100};
    CountingChecker checker(&interval);

    clock.advance(90);
    checker.reset();
    clock.advance(90);
    checker.check();
    EXPECT_EQ(checker.fired, 0);
    clock.advance(11);
    checker.check();
    EXPECT_EQ(checker.fired, 1);
}

} // namespace
} // namespace keywhirl
