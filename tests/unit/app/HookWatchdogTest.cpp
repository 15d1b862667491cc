// tests/unit/app/HookWatchdogTest.cpp
#include "app/HookWatchdog.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

constexpr DWORD kSilence = HookWatchdog::kSilenceMs;
constexpr DWORD kAnswer = HookWatchdog::kAnswerMs;

TEST(HookWatchdog, TypingWithoutRecordsForLongerThanTheSilenceMeansTheHookIsGone) {
    HookWatchdog watchdog;
    watchdog.hookInstalled(1000);
    EXPECT_FALSE(watchdog.hookSeemsLost(1000 + 10 * kSilence)) << "nobody typed";

    const DWORD typed = 1000 + kAnswer + 1;
    watchdog.keyTyped(typed);
    watchdog.keyTyped(typed + 500); // later keys do not restart the wait
    EXPECT_FALSE(watchdog.hookSeemsLost(typed + kSilence)) << "exactly the silence";
    EXPECT_TRUE(watchdog.hookSeemsLost(typed + kSilence + 1));

    watchdog.hookInstalled(typed + kSilence + 1);
    EXPECT_FALSE(watchdog.hookSeemsLost(typed + 3 * kSilence)) << "a fresh start";
}

// Raw input wakes the program for every key: it is heard only once the key
// records have stopped long enough for typing without them to mean a lost hook.
TEST(HookWatchdog, RawInputIsNeededOnlyOnceTheRecordsHaveStopped) {
    const struct {
        DWORD sinceLastRecord;
        bool needed;
    } cases[] = {{0, false}, {kAnswer, false}, {kAnswer + 1, true}, {10 * kSilence, true}};
    for (DWORD start : {5000u, 0xFFFFFF00u}) { // and across the tick counter's wrap
        for (const auto& c : cases) {
            HookWatchdog watchdog;
            watchdog.keyRecordArrived(start);
            EXPECT_EQ(watchdog.needsRawInput(start + c.sinceLastRecord), c.needed)
                << start << " + " << c.sinceLastRecord;
        }
    }
    HookWatchdog installed;
    installed.hookInstalled(5000);
    EXPECT_FALSE(installed.needsRawInput(5000 + kAnswer)) << "a new hook counts as a record";
}

TEST(HookWatchdog, ARecordAnswersTypingThatCameBeforeOrJustAfterIt) {
    struct Case {
        const char* name;
        DWORD record;      // when a key record came (0: none)
        DWORD typed;       // when raw input saw a key
        DWORD recordAfter; // a record after the typing (0: none)
        bool lost;
    };
    const Case cases[] = {
        {"record, then the same key through raw input", 5000, 5000 + kAnswer, 0, false},
        {"raw input, then the record", 0, 5000, 5010, false},
        {"raw input long after the last record", 5000, 5000 + kAnswer + 1, 0, true},
        {"no record ever", 0, 5000, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HookWatchdog watchdog;
        if (c.record)
            watchdog.keyRecordArrived(c.record);
        watchdog.keyTyped(c.typed);
        if (c.recordAfter)
            watchdog.keyRecordArrived(c.recordAfter);
        EXPECT_EQ(watchdog.hookSeemsLost(c.typed + kSilence + 1), c.lost);
        // The check timer runs exactly while an answer is awaited.
        EXPECT_EQ(watchdog.awaitsAnswer(), c.lost);
    }
}

TEST(HookWatchdog, TheTickCountersWrapDoesNotDisturbIt) {
    HookWatchdog watchdog;
    watchdog.keyRecordArrived(0xFFFFFF00u);
    watchdog.keyTyped(0x00000010u); // 0x110 ms later, across the wrap
    EXPECT_FALSE(watchdog.hookSeemsLost(0x00000010u + 10 * kSilence));

    watchdog.keyTyped(0xFFFFFF00u + kAnswer + 1 + 0x100);
    const DWORD typed = 0xFFFFFF00u + kAnswer + 1 + 0x100;
    EXPECT_FALSE(watchdog.hookSeemsLost(typed + kSilence));
    EXPECT_TRUE(watchdog.hookSeemsLost(typed + kSilence + 1));
}

} // namespace
} // namespace keywhirl
