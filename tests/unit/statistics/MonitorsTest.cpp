// tests/unit/statistics/MonitorsTest.cpp - what the monitors count and how they measure.
#include "statistics/EffectivenessMonitor.h"
#include "statistics/LastRhythmMonitor.h"
#include "statistics/LastSpeedMonitor.h"
#include "statistics/SymbolsCounter.h"

#include "KeyEvents.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

using testing::backspace;
using testing::deleteKey;
using testing::FakeClock;
using testing::keyEvent;
using testing::letter;
using testing::press;
using testing::Stroke;

// Typed symbols at the given tick counts.
void typeAt(FakeClock& clock, Monitor& monitor, std::initializer_list<DWORD> ticks) {
    for (DWORD tick : ticks) {
        clock.set(tick);
        monitor.handleKey(letter());
    }
}

TEST(Monitors, OnlyPressesOfSymbolKeysCount) {
    FakeClock clock(5000);
    SymbolsCounter symbols;
    LastSpeedMonitor speed(1);
    LastRhythmMonitor rhythm(1);
    EffectivenessMonitor effectiveness;
    std::initializer_list<Monitor*> all = {&symbols, &speed, &rhythm, &effectiveness};

    const KeyInfoWrapper ignored[] = {
        letter(Stroke::Release), keyEvent(VK_SPACE, 57, Stroke::Release),
        keyEvent(VK_SHIFT, 42),  keyEvent(VK_CONTROL, 29),
        keyEvent(VK_MENU, 56),   keyEvent(VK_CAPITAL, 58),
        keyEvent(VK_LEFT, 75),   keyEvent(VK_DOWN, 80),
        keyEvent(VK_F1, 59),     keyEvent(VK_F12, 88),
        keyEvent(VK_ESCAPE, 1),  backspace(Stroke::Release),
    };
    for (const KeyInfoWrapper& event : ignored)
        press(all, event);
    EXPECT_EQ(symbols.getCount(), 0u);
    EXPECT_EQ(speed.storedTimeStamps(), 0u);
    EXPECT_EQ(rhythm.storedTimeStamps(), 0u);
    EXPECT_EQ(effectiveness.getTypedCount(), 0u);

    const KeyInfoWrapper counted[] = {
        keyEvent(VK_SPACE, 57),   keyEvent(VK_RETURN, 28),    keyEvent(VK_TAB, 15),
        keyEvent(VK_NUMPAD5, 76), keyEvent(VK_OEM_COMMA, 51), letter(),
    };
    for (const KeyInfoWrapper& event : counted)
        press(all, event);
    EXPECT_EQ(symbols.getCount(), 6u);
    EXPECT_EQ(speed.storedTimeStamps(), 6u);
    EXPECT_EQ(rhythm.storedTimeStamps(), 6u);
    EXPECT_EQ(effectiveness.getTypedCount(), 6u);
    EXPECT_EQ(effectiveness.getKeptCount(), 6u);
}

TEST(Monitors, AHeldKeyCountsEveryRepeatAsAPress) {
    FakeClock clock(5000);
    SymbolsCounter symbols;
    LastSpeedMonitor speed(1);
    LastRhythmMonitor rhythm(1);
    EffectivenessMonitor effectiveness;
    std::initializer_list<Monitor*> all = {&symbols, &speed, &rhythm, &effectiveness};

    press(all, letter());
    press(all, letter(Stroke::Repeat), 20);
    press(all, letter(Stroke::Release));
    EXPECT_EQ(symbols.getCount(), 21u);
    EXPECT_EQ(speed.storedTimeStamps(), 21u);
    EXPECT_EQ(rhythm.storedTimeStamps(), 21u);
    EXPECT_EQ(effectiveness.getTypedCount(), 21u);
    EXPECT_EQ(effectiveness.getKeptCount(), 21u);
}

TEST(LastSpeedMonitor, CountsGapsOverTheTimeFromTheOldestPressToNow) {
    FakeClock clock(0);
    LastSpeedMonitor speed(1);
    EXPECT_EQ(speed.measureSpeed(), 0u) << "empty window";

    typeAt(clock, speed, {0});
    clock.set(500);
    EXPECT_EQ(speed.measureSpeed(), 0u) << "a single press has no gap";

    typeAt(clock, speed, {1000, 2000});
    clock.set(3000);
    EXPECT_EQ(speed.measureSpeed(), 40u) << "(3 - 1) * 60000 / 3000";
    clock.set(6000);
    EXPECT_EQ(speed.measureSpeed(), 20u) << "the speed sinks while the user pauses";
    clock.set(7001);
    EXPECT_EQ(speed.measureSpeed(), 17u) << "120000 / 7001, the fraction cut off";
}

TEST(LastSpeedMonitor, KeepsAPressExactlyOneWindowOldAndDropsItAMillisecondLater) {
    FakeClock clock(1000);
    LastSpeedMonitor speed(1);
    typeAt(clock, speed, {1000, 2000, 3000});

    clock.set(61000);
    EXPECT_EQ(speed.measureSpeed(), 2u) << "2 * 60000 / 60000: the oldest press is still in";
    EXPECT_EQ(speed.storedTimeStamps(), 3u);

    clock.set(61001);
    EXPECT_EQ(speed.measureSpeed(), 1u) << "60000 / 59001 after the oldest press left";
    EXPECT_EQ(speed.storedTimeStamps(), 2u);

    clock.set(63001);
    EXPECT_EQ(speed.measureSpeed(), 0u);
    EXPECT_EQ(speed.storedTimeStamps(), 0u);
}

TEST(LastSpeedMonitor, WindowLengthFollowsItsMinutes) {
    FakeClock clock(0);
    LastSpeedMonitor tenMinutes(10);
    EXPECT_EQ(tenMinutes.getPeriodMinutes(), 10u);
    typeAt(clock, tenMinutes, {0, 300000});
    clock.set(600000);
    EXPECT_EQ(tenMinutes.measureSpeed(), 0u) << "60000 / 600000 rounds down to 0";
    EXPECT_EQ(tenMinutes.storedTimeStamps(), 2u);
    clock.set(600001);
    tenMinutes.measureSpeed();
    EXPECT_EQ(tenMinutes.storedTimeStamps(), 1u);
}

TEST(LastSpeedMonitor, PressesWithinTheSameTickAsNowGiveZeroInsteadOfDividingByZero) {
    FakeClock clock(42);
    LastSpeedMonitor speed(1);
    typeAt(clock, speed, {42, 42, 42});
    EXPECT_EQ(speed.measureSpeed(), 0u);
    clock.advance(1);
    EXPECT_EQ(speed.measureSpeed(), 120000u) << "two gaps within one millisecond";
}

TEST(LastSpeedMonitor, MeasuresAcrossTheWrapOfTheTickCounter) {
    FakeClock clock(0xFFFFF000u);
    LastSpeedMonitor speed(1);
    typeAt(clock, speed, {0xFFFFF000u, 0xFFFFFC00u, 0x00000200u});
    clock.set(0x00000E00u); // 7680 ms after the first press
    EXPECT_EQ(speed.measureSpeed(), 2u * 60000u / 7680u);
    EXPECT_EQ(speed.storedTimeStamps(), 3u) << "no stamp looks old across the wrap";
}

TEST(LastSpeedMonitor, ManyPressesDoNotOverflowTheSpeed) {
    // 80000 gaps * 60000 is beyond 32 bits.
    FakeClock clock(0);
    LastSpeedMonitor speed(60);
    for (DWORD tick = 0; tick <= 80000; ++tick) {
        clock.set(tick);
        speed.handleKey(letter());
    }
    clock.set(160000);
    EXPECT_EQ(speed.measureSpeed(), 30000u) << "80000 * 60000 / 160000";
}

TEST(TimeStampList, OldStampsGoWhenAppendingSoAnUnreadListStaysBounded) {
    FakeClock clock(0);
    LastSpeedMonitor speed(1);
    LastRhythmMonitor rhythm(1);
    // Two hours of typing at one key a second, with the window hidden.
    for (DWORD second = 0; second < 7200; ++second) {
        clock.set(second * 1000);
        speed.handleKey(letter());
        rhythm.handleKey(letter());
    }
    EXPECT_EQ(speed.storedTimeStamps(), 61u) << "the last minute, both ends included";
    EXPECT_EQ(rhythm.storedTimeStamps(), 61u);
    EXPECT_EQ(speed.measureSpeed(), 60u);
    EXPECT_EQ(rhythm.measureRhythm(), 100u);
}

TEST(LastRhythmMonitor, ScoresTheScatterOfIntervalsAgainstTheirMean) {
    struct Case {
        std::initializer_list<DWORD> ticks;
        unsigned rhythm;
        const char* what;
    };
    const Case cases[] = {
        {{}, 0, "empty window"},
        {{1000}, 0, "a single press"},
        {{1000, 1100}, 100, "one interval is perfectly even"},
        {{1000, 1100, 1200, 1300, 1400}, 100, "equal intervals"},
        {{1000, 1100, 1400, 1500, 1800}, 50, "100, 300, 100, 300: sigma is half the mean"},
        {{1000, 1000, 1200}, 25, "0 and 200: sigma equals the mean"},
        {{1000, 1000, 1000}, 0, "no time between the presses"},
        {{1000, 1010, 1030, 1060, 1100}, 53, "10, 20, 30, 40: 100 * 4^-(sqrt(125) / 25)"},
    };
    for (const Case& c : cases) {
        FakeClock clock(0);
        LastRhythmMonitor rhythm(1);
        typeAt(clock, rhythm, c.ticks);
        clock.set(2000);
        EXPECT_EQ(rhythm.measureRhythm(), c.rhythm) << c.what;
    }
}

TEST(LastRhythmMonitor, ForgetsIntervalsThatLeftTheWindow) {
    FakeClock clock(0);
    LastRhythmMonitor rhythm(1);
    typeAt(clock, rhythm, {0, 5000, 5100, 5200, 5300});
    clock.set(60000);
    EXPECT_LT(rhythm.measureRhythm(), 100u);
    clock.set(60001);
    EXPECT_EQ(rhythm.measureRhythm(), 100u) << "only the even 100 ms intervals remain";
}

TEST(LastRhythmMonitor, LongWindowsWithWideIntervalsStayExact) {
    // A 60-minute window with intervals of many seconds: the sums leave 32 bits.
    EXPECT_EQ(LastRhythmMonitor::rhythmOf(2, 2 * 3000000ull, 2 * 9000000000000ull), 100u);
    EXPECT_EQ(LastRhythmMonitor::rhythmOf(4, 800000, 200000000000ull), 50u)
        << "100000, 300000, 100000, 300000";
    EXPECT_EQ(LastRhythmMonitor::rhythmOf(0, 0, 0), 0u);
    EXPECT_EQ(LastRhythmMonitor::rhythmOf(3, 0, 0), 0u);
}

TEST(EffectivenessMonitor, ErasingTakesBackOneSymbolPerPress) {
    EffectivenessMonitor effectiveness;
    EXPECT_EQ(effectiveness.getEffectiveness(), 0u) << "nothing typed yet";

    press({&effectiveness}, letter(), 10);
    press({&effectiveness}, backspace(), 2);
    EXPECT_EQ(effectiveness.getEffectiveness(), 80u);

    EffectivenessMonitor withDelete;
    press({&withDelete}, letter(), 3);
    press({&withDelete}, deleteKey());
    EXPECT_EQ(withDelete.getEffectiveness(), 66u) << "200 / 3, truncated";
}

TEST(EffectivenessMonitor, ErasingBeforeTypingOrBelowZeroChangesNothing) {
    EffectivenessMonitor effectiveness;
    press({&effectiveness}, backspace(), 3);
    press({&effectiveness}, deleteKey());
    EXPECT_EQ(effectiveness.getKeptCount(), 0u);
    EXPECT_EQ(effectiveness.getEffectiveness(), 0u);

    press({&effectiveness}, letter(), 2);
    EXPECT_EQ(effectiveness.getEffectiveness(), 100u)
        << "earlier erasing is not held against later typing";

    press({&effectiveness}, backspace());
    press({&effectiveness}, backspace(Stroke::Repeat), 5);
    EXPECT_EQ(effectiveness.getKeptCount(), 0u) << "a held Backspace stops at 0";
    EXPECT_EQ(effectiveness.getTypedCount(), 2u);
    EXPECT_EQ(effectiveness.getEffectiveness(), 0u);

    press({&effectiveness}, keyEvent(VK_SHIFT, 42));
    press({&effectiveness}, letter(Stroke::Release));
    press({&effectiveness}, backspace(Stroke::Release));
    EXPECT_EQ(effectiveness.getTypedCount(), 2u);
    EXPECT_EQ(effectiveness.getKeptCount(), 0u);
}

TEST(EffectivenessMonitor, LargeCountsDoNotOverflowThePercentage) {
    // 43 million kept symbols: kept * 100 is beyond 32 bits.
    EffectivenessMonitor effectiveness;
    const KeyInfoWrapper symbol = letter();
    for (int i = 0; i < 43000000; ++i)
        effectiveness.handleKey(symbol);
    EXPECT_EQ(effectiveness.getEffectiveness(), 100u);
    press({&effectiveness}, backspace(), 1000000);
    EXPECT_EQ(effectiveness.getEffectiveness(), 97u) << "4200000000 / 43000000";
}

} // namespace
} // namespace keywhirl
