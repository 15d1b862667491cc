// tests/unit/statistics/ConcurrencyTest.cpp - the dispatcher appends while the window reads.
#include "statistics/LastRhythmMonitor.h"
#include "statistics/LastSpeedMonitor.h"

#include "KeyEvents.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace keywhirl {
namespace {

constexpr DWORD kPresses = 20000;

// Plays the dispatcher: one symbol per millisecond for both monitors.
struct Typist {
    testing::FakeClock* clock;
    LastSpeedMonitor* speed;
    LastRhythmMonitor* rhythm;
    std::atomic<bool> done{false};

    static DWORD WINAPI run(void* self) {
        Typist& typist = *static_cast<Typist*>(self);
        const KeyInfoWrapper symbol = testing::letter();
        for (DWORD i = 0; i < kPresses; ++i) {
            typist.speed->handleKey(symbol);
            typist.rhythm->handleKey(symbol);
            typist.clock->advance(1);
        }
        typist.done = true;
        return 0;
    }
};

TEST(MonitorConcurrency, ReadingWhileTheDispatcherAppendsSeesWholeLists) {
    testing::FakeClock clock(100000);
    LastSpeedMonitor speed(1);
    LastRhythmMonitor rhythm(1);
    Typist typist{&clock, &speed, &rhythm};

    HANDLE thread = ::CreateThread(nullptr, 0, &Typist::run, &typist, 0, nullptr);
    ASSERT_NE(thread, nullptr);

    // The window's side: measure over and over while the list grows. With
    // presses one millisecond apart every interval is 1 ms, so any whole
    // list reads as perfectly even and at most 60000 symbols a minute.
    std::vector<unsigned> speeds;
    std::vector<unsigned> rhythms;
    while (!typist.done) {
        speeds.push_back(speed.measureSpeed());
        rhythms.push_back(rhythm.measureRhythm());
    }
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);

    ASSERT_FALSE(speeds.empty());
    for (unsigned value : speeds)
        ASSERT_LE(value, 60000u);
    for (unsigned value : rhythms)
        ASSERT_TRUE(value == 0 || value == 100) << value;

    EXPECT_EQ(speed.storedTimeStamps(), kPresses);
    EXPECT_EQ(rhythm.storedTimeStamps(), kPresses);
    // The clock stands one millisecond after the last press.
    EXPECT_EQ(speed.measureSpeed(), (kPresses - 1) * 60000 / kPresses);
    EXPECT_EQ(rhythm.measureRhythm(), 100u);
}

} // namespace
} // namespace keywhirl
