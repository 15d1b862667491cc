// tests/unit/weakkeys/WeakKeyRecorderTest.cpp - what a typing key press records, on the fake clock.
#include "weakkeys/WeakKeyRecorder.h"

#include "WeakKeyEvents.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

using testing::FakeClock;
using testing::keyA;
using testing::keyAt;
using testing::keyJ;
using testing::Stroke;

const unsigned kA = WeakKeyRecorder::keyIndex(0x1E, false);
const unsigned kJ = WeakKeyRecorder::keyIndex(0x24, false);

struct Recording {
    std::atomic<unsigned> wait{3000};
    WeakKeyRecorder recorder{&wait};
};

// A press of A, then a press of J after the given pause.
WeakKeyRecorder::KeyCounts jAfterPause(FakeClock& clock, Recording& r, DWORD pause) {
    r.recorder.handleKey(keyA());
    clock.advance(pause);
    r.recorder.handleKey(keyJ());
    return r.recorder.counts(kJ);
}

TEST(WeakKeyRecorder, HesitationIsAPauseAboveTheWaitUpToTheBreakLimit) {
    struct Case {
        DWORD pause;
        unsigned hesitations;
        bool averaged;
    };
    const Case cases[] = {
        {2999, 0, true},  {3000, 0, true},   {3001, 1, true},   {9999, 1, true},
        {10000, 1, true}, {10001, 0, false}, {60000, 0, false},
    };
    for (const Case& c : cases) {
        FakeClock clock(50000);
        Recording r;
        WeakKeyRecorder::KeyCounts j = jAfterPause(clock, r, c.pause);
        EXPECT_EQ(j.presses, 1u) << c.pause;
        EXPECT_EQ(j.hesitations, c.hesitations) << c.pause;
        EXPECT_EQ(j.hasLeadTime, c.averaged) << c.pause;
        if (c.averaged) {
            EXPECT_FLOAT_EQ(j.leadTime, float(c.pause));
        }
    }
}

TEST(WeakKeyRecorder, TheWaitIntervalIsReadAtEveryPress) {
    FakeClock clock(1000);
    Recording r;
    jAfterPause(clock, r, 1500);
    r.wait = 1000;
    jAfterPause(clock, r, 1500);
    EXPECT_EQ(r.recorder.counts(kJ).hesitations, 1u);
}

TEST(WeakKeyRecorder, TheFirstPressEverAndTheTickWrapAreHandled) {
    FakeClock clock(0xFFFFF000u);
    Recording r;
    r.recorder.handleKey(keyJ());
    EXPECT_EQ(r.recorder.counts(kJ).presses, 1u);
    EXPECT_FALSE(r.recorder.counts(kJ).hasLeadTime) << "no pause before the first press";
    clock.advance(0x1000 + 3500); // across the wrap of the tick counter
    r.recorder.handleKey(keyJ());
    EXPECT_EQ(r.recorder.counts(kJ).hesitations, 1u);
    EXPECT_FLOAT_EQ(r.recorder.counts(kJ).leadTime, float(0x1000 + 3500));
}

TEST(WeakKeyRecorder, ModifiersReleasesAndRepeatsNeverCount) {
    FakeClock clock(1000);
    Recording r;
    r.recorder.handleKey(keyA());
    const KeyInfoWrapper ignored[] = {
        keyAt(VK_SHIFT, 0x2A),   keyAt(VK_CONTROL, 0x1D),       keyAt(VK_MENU, 0x38),
        keyAt(VK_CAPITAL, 0x3A), keyAt(VK_NUMLOCK, 0x45, true), keyAt(VK_SCROLL, 0x46),
        keyJ(Stroke::Release),   keyA(Stroke::Release),
    };
    for (const KeyInfoWrapper& event : ignored) {
        clock.advance(4000);
        r.recorder.handleKey(event);
    }
    for (unsigned index = 0; index < WeakKeyRecorder::kKeyCount; ++index)
        EXPECT_EQ(r.recorder.counts(index).presses, index == kA ? 1u : 0u) << index;

    // Shift held through the pause: the letter after it still ended a
    // hesitation, measured from the last typing press.
    Recording shifted;
    shifted.recorder.handleKey(keyA());
    clock.advance(2000);
    shifted.recorder.handleKey(keyAt(VK_SHIFT, 0x2A));
    clock.advance(2000);
    shifted.recorder.handleKey(keyJ());
    EXPECT_EQ(shifted.recorder.counts(kJ).hesitations, 1u);
    EXPECT_FLOAT_EQ(shifted.recorder.counts(kJ).leadTime, 4000.0f);
}

TEST(WeakKeyRecorder, AnAutoRepeatIsNoPressButEndsThePause) {
    FakeClock clock(1000);
    Recording r;
    r.recorder.handleKey(keyJ());
    clock.advance(4000);
    r.recorder.handleKey(keyJ(Stroke::Repeat));
    EXPECT_EQ(r.recorder.counts(kJ).presses, 1u);
    EXPECT_EQ(r.recorder.counts(kJ).hesitations, 0u);
    EXPECT_FALSE(r.recorder.counts(kJ).hasLeadTime);
    // Held for four seconds, then the next key at once: no hesitation.
    clock.advance(100);
    r.recorder.handleKey(keyA());
    EXPECT_EQ(r.recorder.counts(kA).hesitations, 0u);
    EXPECT_FLOAT_EQ(r.recorder.counts(kA).leadTime, 100.0f);
}

TEST(WeakKeyRecorder, ScanCodeAndExtendedFlagKeepKeysApart) {
    FakeClock clock(1000);
    Recording r;
    // The main Enter and the keypad's Enter share scan code 0x1C; the
    // keypad's / and the main / share 0x35.
    const KeyInfoWrapper keys[] = {keyAt(VK_RETURN, 0x1C), keyAt(VK_RETURN, 0x1C, true),
                                   keyAt(VK_RETURN, 0x1C, true), keyAt(VK_DIVIDE, 0x35, true),
                                   keyAt(VK_OEM_2, 0x35)};
    for (const KeyInfoWrapper& event : keys) {
        clock.advance(3500);
        r.recorder.handleKey(testing::timedNow(event));
    }
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x1C, false)).presses, 1u);
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x1C, true)).presses, 2u);
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x1C, true)).hesitations, 2u);
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x35, true)).presses, 1u);
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x35, false)).presses, 1u);
    // The layout plays no part: the same key under another virtual key.
    r.recorder.handleKey(keyAt(0xBF, 0x35));
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::keyIndex(0x35, false)).presses, 2u);
}

TEST(WeakKeyRecorder, LeadTimeIsAnAverageWithOneTenthForTheNewestPause) {
    FakeClock clock(1000);
    Recording r;
    r.recorder.handleKey(keyA());
    float expected = -1;
    for (DWORD pause : {200u, 400u, 100u, 20000u, 1000u, 0u}) {
        clock.advance(pause);
        r.recorder.handleKey(keyJ());
        if (pause > WeakKeyRecorder::kBreakLimit)
            continue; // a break leaves the average alone
        expected = expected < 0 ? float(pause) : expected + 0.1f * (float(pause) - expected);
        EXPECT_NEAR(r.recorder.counts(kJ).leadTime, expected, 0.01f) << pause;
    }
    // 200, then 220, 208, (break), 287.2, 258.48
    EXPECT_NEAR(r.recorder.counts(kJ).leadTime, 258.48f, 0.01f);
    EXPECT_EQ(r.recorder.counts(kJ).presses, 6u);
}

TEST(WeakKeyRecorder, ChangesAreReportedOnceAndClearForgetsEverything) {
    FakeClock clock(1000);
    Recording r;
    EXPECT_FALSE(r.recorder.takeChanged());
    unsigned revision = r.recorder.revision();
    jAfterPause(clock, r, 5000);
    EXPECT_NE(r.recorder.revision(), revision);
    EXPECT_TRUE(r.recorder.takeChanged());
    EXPECT_FALSE(r.recorder.takeChanged());
    r.recorder.handleKey(keyJ(Stroke::Release));
    EXPECT_FALSE(r.recorder.takeChanged()) << "nothing recorded";

    r.recorder.clear();
    EXPECT_TRUE(r.recorder.takeChanged());
    for (unsigned index : {kA, kJ}) {
        EXPECT_EQ(r.recorder.counts(index).presses, 0u);
        EXPECT_EQ(r.recorder.counts(index).hesitations, 0u);
        EXPECT_FALSE(r.recorder.counts(index).hasLeadTime);
    }
    EXPECT_EQ(r.recorder.counts(WeakKeyRecorder::kKeyCount).presses, 0u) << "out of range";
}

} // namespace
} // namespace keywhirl
