// tests/unit/statistics/StatisticsTest.cpp - the six monitors and their order.
#include "statistics/Statistics.h"

#include "statistics/EffectivenessMonitor.h"
#include "statistics/LastRhythmMonitor.h"
#include "statistics/LastSpeedMonitor.h"
#include "statistics/SymbolsCounter.h"

#include "KeyEvents.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(Statistics, SixMonitorsInTheOrderOfTheRows) {
    Statistics statistics;
    const std::vector<Monitor*>& monitors = statistics.getMonitors();
    ASSERT_EQ(monitors.size(), 6u);

    EXPECT_NE(dynamic_cast<SymbolsCounter*>(monitors[0]), nullptr);
    const unsigned speedMinutes[] = {1, 10, 60};
    for (int i = 0; i < 3; ++i) {
        auto* speed = dynamic_cast<LastSpeedMonitor*>(monitors[1 + i]);
        ASSERT_NE(speed, nullptr) << "row " << 1 + i;
        EXPECT_EQ(speed->getPeriodMinutes(), speedMinutes[i]);
    }
    EXPECT_NE(dynamic_cast<EffectivenessMonitor*>(monitors[4]), nullptr);
    auto* rhythm = dynamic_cast<LastRhythmMonitor*>(monitors[5]);
    ASSERT_NE(rhythm, nullptr);
    EXPECT_EQ(rhythm->getPeriodMinutes(), 1u);

    EXPECT_EQ(&statistics.getMonitors(), &monitors) << "the same list every time";
}

TEST(Statistics, EveryMonitorSeesTheSameKeys) {
    testing::FakeClock clock(0);
    Statistics statistics;
    for (DWORD tick = 0; tick < 5; ++tick) {
        clock.set(tick * 1000);
        for (Monitor* monitor : statistics.getMonitors())
            monitor->handleKey(testing::letter());
    }
    for (Monitor* monitor : statistics.getMonitors())
        monitor->handleKey(testing::backspace());
    clock.set(5000);

    const std::vector<Monitor*>& monitors = statistics.getMonitors();
    EXPECT_EQ(static_cast<SymbolsCounter*>(monitors[0])->getCount(), 5u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(static_cast<LastSpeedMonitor*>(monitors[i])->measureSpeed(), 48u)
            << "4 gaps over 5 seconds, row " << i;
    EXPECT_EQ(static_cast<EffectivenessMonitor*>(monitors[4])->getEffectiveness(), 80u);
    EXPECT_EQ(static_cast<LastRhythmMonitor*>(monitors[5])->measureRhythm(), 100u);
}

} // namespace
} // namespace keywhirl
