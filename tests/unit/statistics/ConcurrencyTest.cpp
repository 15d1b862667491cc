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

constexpr DWORD kPresses = 100000;
// Ten milliseconds apart, so that both sides keep dropping old stamps: the
// minute's window holds 6001 of them.
constexpr DWORD kGap = 10;

// Plays the dispatcher: one symbol every kGap milliseconds for both monitors.
struct Typist {
    testing::FakeClock* clock;
    LastSpeedMonitor* speed;
    LastRhythmMonitor* rhythm;
    std::atomic<bool> done{false};

    static DWORD WINAPI run(void* self) {
        Typist& typist = *static_cast<Typist*>(self);
        for (DWORD i = 0; i < kPresses; ++i) {
            const KeyInfoWrapper symbol = testing::letter();
            typist.speed->handleKey(symbol);
            typist.rhythm->handleKey(symbol);
            typist.clock->advance(kGap);
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

    // The window's side: measure over and over while the list changes. With
    // presses kGap ms apart any whole list reads as perfectly even and at
    // most 60000 / kGap symbols a minute.
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
        ASSERT_LE(value, 60000u / kGap);
    for (unsigned value : rhythms)
        ASSERT_TRUE(value == 0 || value == 100) << value;

    // The last reading may have come after the clock moved on past the last press.
    const std::size_t inWindow = 60000 / kGap + 1;
    EXPECT_TRUE(speed.storedTimeStamps() == inWindow || speed.storedTimeStamps() == inWindow - 1)
        << speed.storedTimeStamps();
    EXPECT_TRUE(rhythm.storedTimeStamps() == inWindow || rhythm.storedTimeStamps() == inWindow - 1)
        << rhythm.storedTimeStamps();
    // The clock stands kGap after the last press, so the oldest stamp has gone.
    EXPECT_EQ(speed.measureSpeed(), (inWindow - 2) * 60000 / 60000);
    EXPECT_EQ(rhythm.measureRhythm(), 100u);
}

} // namespace
} // namespace keywhirl
