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
