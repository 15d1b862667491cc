// tests/unit/keyboard/OpacityChangerTest.cpp
#include "keyboard/OpacityChanger.h"

#include "support/Threads.h"
#include "support/Waiting.h"
#include "utils/CriticalSection.h"
#include "keyboard/OpacityFinish.h"

#include <gtest/gtest.h>

#include <vector>

namespace keywhirl {
namespace {

using Alphas = std::vector<int>;

// Records every alpha that would reach the window, from any thread.
class RecordingChanger : public OpacityChanger {
public:
    ~RecordingChanger() override { stopAndWait(); }
    Alphas applied() {
        utils::Lock guard(section);
        Alphas copy = alphas;
        return copy;
    }
    void forget() {
        utils::Lock guard(section);
        alphas.clear();
    }

protected:
    void applyAlpha(HWND target, BYTE alpha) override {
        utils::Lock guard(section);
        alphas.push_back(alpha);
        OpacityChanger::applyAlpha(target, alpha);
    }

private:
    utils::CriticalSection section;
    Alphas alphas;
};

// Counts the calls and remembers the alpha each one saw; signals an event.
class CountingListener : public ActionListener<OpacityChanger> {
public:
    CountingListener(std::vector<int>* order = nullptr, int name = 0)
        : order(order), name(name), event(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~CountingListener() override { ::CloseHandle(event); }
    void onAction(OpacityChanger& fader) override {
        lastAlpha = fader.getAlpha();
        if (order)
            order->push_back(name);
        ++calls;
        ::SetEvent(event);
    }
    bool waitForCall() { return ::WaitForSingleObject(event, 3000) == WAIT_OBJECT_0; }

    std::atomic<int> calls{0};
    std::atomic<int> lastAlpha{-1};
    std::vector<int>* order;
    int name;
    HANDLE event;
};

// A plain pop-up window of this thread to fade.
class TestWindow {
public:
    TestWindow()
        : handle(::CreateWindowExW(0, L"STATIC", L"fade", WS_POPUP, 10, 10, 40, 30, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() { ::DestroyWindow(handle); }
    HWND handle;
};

// Runs a fade on the calling thread, step by step, until it is finished.
Alphas stepToEnd(RecordingChanger& fader) {
    fader.forget();
    for (int i = 0; i < 1000 && !fader.isFinished(); ++i)
        fader.onTimeElapsed();
    return fader.applied();
}

TEST(OpacityChangerStep, FollowsTheIntegerFormulaOfRangeIntervalAndDuration) {
    OpacityChanger fader;
    EXPECT_DOUBLE_EQ(8.0, fader.getStep()); // 255 * 10 / 300, truncated
    EXPECT_EQ(0, fader.getLow());
    EXPECT_EQ(255, fader.getHigh());
    EXPECT_EQ(255, fader.getAlpha());
    EXPECT_EQ(300u, fader.getDuration());

    fader.setRange(0, 225, 225);
    fader.setDuration(100);
    EXPECT_DOUBLE_EQ(22.0, fader.getStep());

    fader.setRange(200, 255, 200);
    fader.setDuration(150);
    EXPECT_DOUBLE_EQ(3.0, fader.getStep());

    fader.setRange(100, 105, 100);
    fader.setDuration(100);
    EXPECT_DOUBLE_EQ(1.0, fader.getStep()) << "a step that rounds to 0 becomes 1";

    fader.setRange(90, 90, 90);
    EXPECT_DOUBLE_EQ(1.0, fader.getStep());
}

TEST(OpacityChangerStep, ZeroDurationAndReversedRangeGiveUsableSteps) {
    OpacityChanger fader;
    fader.setRange(0, 200, 0);
    fader.setDuration(0);
    EXPECT_DOUBLE_EQ(2000.0, fader.getStep()) << "0 ms counts as 1 ms";

    fader.setDuration(100);
    fader.setRange(200, 100, 150);
    EXPECT_DOUBLE_EQ(1.0, fader.getStep());
}

TEST(OpacityChangerStep, AlphaIsTruncatedTowardsZero) {
    OpacityChanger fader;
    fader.setRange(0, 255, 0);
    fader.setDuration(3000); // step 0.85 would be 0, so 1
    fader.setRange(0, 10, 0);
    EXPECT_EQ(0, fader.getAlpha());
}

class OpacityChangerFade : public ::testing::Test {
protected:
    void SetUp() override {
        fader.attach(window.handle);
        fader.setDuration(100);
        fader.addListener(&listener);
    }

    TestWindow window;
    RecordingChanger fader;
    CountingListener listener;
};

TEST_F(OpacityChangerFade, AttachMakesTheWindowLayeredAndSetRangeAppliesAtOnce) {
    EXPECT_NE(0, ::GetWindowLongW(window.handle, GWL_EXSTYLE) & WS_EX_LAYERED);
    fader.setRange(0, 225, 130);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window.handle, nullptr, &alpha, &flags));
    EXPECT_EQ(130, alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags & LWA_ALPHA);
    EXPECT_EQ(0, listener.calls) << "a jump is not a fade";
}

TEST_F(OpacityChangerFade, FadeInFromZeroStepsByTwentyTwoAndClampsAtHigh) {
    fader.setRange(0, 225, 0);
    fader.setFadingIn(true);
    EXPECT_EQ((Alphas{22, 44, 66, 88, 110, 132, 154, 176, 198, 220, 225}), stepToEnd(fader));
    EXPECT_EQ(1, listener.calls);
    EXPECT_EQ(225, listener.lastAlpha);
}

TEST_F(OpacityChangerFade, FadeOutFromFullStepsDownToZero) {
    fader.setRange(0, 225, 225);
    fader.setFadingIn(false);
    EXPECT_EQ((Alphas{203, 181, 159, 137, 115, 93, 71, 49, 27, 5, 0}), stepToEnd(fader));
    EXPECT_EQ(1, listener.calls);
    EXPECT_EQ(0, listener.lastAlpha);
    BYTE alpha = 255;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window.handle, nullptr, &alpha, nullptr));
    EXPECT_EQ(0, alpha);
}

TEST_F(OpacityChangerFade, RedirectedHalfWayContinuesFromWhereItWas) {
    fader.setRange(0, 225, 225);
    fader.setFadingIn(false);
    fader.forget();
    for (int i = 0; i < 5; ++i)
        fader.onTimeElapsed();
    EXPECT_EQ(115, fader.getAlpha());
    fader.setFadingIn(true);
    EXPECT_EQ((Alphas{137, 159, 181, 203, 225}), stepToEnd(fader));
}

TEST_F(OpacityChangerFade, OnlyTheEndTowardsWhichItMovesIsClamped) {
    // Above high while fading out: the steps come down from there.
    fader.setRange(0, 100, 200);
    fader.setFadingIn(false);
    fader.forget();
    fader.onTimeElapsed();
    EXPECT_EQ((Alphas{190}), fader.applied());
}

TEST_F(OpacityChangerFade, AFadeThatIsAlreadyAtItsEndTakesNoStep) {
    fader.setRange(0, 225, 225);
    fader.setFadingIn(true);
    EXPECT_TRUE(stepToEnd(fader).empty());
    EXPECT_EQ(1, listener.calls);

    fader.setRange(70, 70, 70);
    fader.setFadingIn(false);
    EXPECT_TRUE(stepToEnd(fader).empty());
    fader.setFadingIn(true);
    EXPECT_TRUE(stepToEnd(fader).empty());
    EXPECT_EQ(3, listener.calls);
}

TEST_F(OpacityChangerFade, ListenersAreToldInTheOrderTheyWereAdded) {
    std::vector<int> order;
    CountingListener first(&order, 1);
    CountingListener second(&order, 2);
    RecordingChanger other;
    other.attach(window.handle);
    other.addListener(&first);
    other.addListener(&second);
    other.setRange(0, 10, 10);
    EXPECT_TRUE(other.isFinished());
    EXPECT_TRUE(other.isFinished());
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2}), order);
}

TEST(OpacityChangerWithoutWindow, StepsDoNothingButTheRangeIsKept) {
    RecordingChanger fader;
    fader.setRange(10, 200, 150);
    fader.setFadingIn(false);
    fader.onTimeElapsed();
    EXPECT_TRUE(fader.applied().empty());
    EXPECT_EQ(150, fader.getAlpha());
    EXPECT_EQ(10, fader.getLow());
    EXPECT_EQ(200, fader.getHigh());
}

// The fader's own thread, with the real tick count.
class OpacityChangerThread : public OpacityChangerFade {
protected:
    bool waitUntilIdle() {
        for (int i = 0; i < 300; ++i) {
            if (fader.isIdle())
                return true;
            ::Sleep(10);
        }
        return false;
    }
};

TEST_F(OpacityChangerThread, StartTellsTheListenersOnceAndSleeps) {
    fader.setRange(0, 225, 225);
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());
    ::Sleep(50);
    EXPECT_EQ(1, listener.calls);
    EXPECT_EQ(225, listener.lastAlpha);
}

TEST_F(OpacityChangerThread, AResumedFadeRunsToItsEndAndSleepsAgain) {
    fader.setRange(0, 225, 225);
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());

    fader.forget();
    fader.setFadingIn(false);
    fader.resume();
    ASSERT_TRUE(listener.waitForCall());
    EXPECT_EQ((Alphas{203, 181, 159, 137, 115, 93, 71, 49, 27, 5, 0}), fader.applied());
    EXPECT_EQ(0, listener.lastAlpha);
    ASSERT_TRUE(waitUntilIdle());

    fader.forget();
    fader.setFadingIn(true);
    fader.resume();
    ASSERT_TRUE(listener.waitForCall());
    EXPECT_EQ((Alphas{22, 44, 66, 88, 110, 132, 154, 176, 198, 220, 225}), fader.applied());
    EXPECT_EQ(3, listener.calls);
}

TEST_F(OpacityChangerThread, AResumeAtTheEndTellsTheListenersWithoutAStep) {
    fader.setRange(0, 225, 225);
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());
    fader.forget();
    fader.setFadingIn(true);
    fader.resume();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(fader.applied().empty());
    EXPECT_EQ(2, listener.calls);
}

TEST_F(OpacityChangerThread, AResumeJustBeforeTheThreadSleepsIsNotLost) {
    // Many requests back to back: each one must be answered, none may leave
    // the thread asleep with a fade pending.
    fader.setRange(0, 2, 2);
    fader.setDuration(10); // one step per fade
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    for (int i = 0; i < 50; ++i) {
        fader.setFadingIn(i % 2 == 0);
        fader.resume();
        ASSERT_TRUE(listener.waitForCall()) << "request " << i;
    }
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(fader.isFadingIn() ? 2 : 0, fader.getAlpha());
}

TEST_F(OpacityChangerThread, HaltStopsTheFadeWithoutTellingTheListeners) {
    fader.setRange(0, 255, 255);
    fader.setDuration(3000); // steps of 1: a long fade
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());

    fader.setFadingIn(false);
    fader.resume();
    ::Sleep(60);
    fader.halt();
    size_t stepsAtHalt = fader.applied().size();
    BYTE alphaAtHalt = fader.getAlpha();
    ASSERT_TRUE(waitUntilIdle());
    ::Sleep(60);
    EXPECT_EQ(stepsAtHalt, fader.applied().size()) << "no step after halt() returned";
    EXPECT_EQ(alphaAtHalt, fader.getAlpha());
    EXPECT_GT(alphaAtHalt, 0);
    EXPECT_EQ(1, listener.calls);

    fader.setRange(0, 255, alphaAtHalt);
    fader.setDuration(10); // steps of 255
    fader.resume();
    ASSERT_TRUE(listener.waitForCall());
    EXPECT_EQ(0, listener.lastAlpha);
}

TEST_F(OpacityChangerThread, RangeChangesDuringAFadeEndAtTheNewRange) {
    fader.setRange(0, 255, 0);
    fader.setDuration(2550); // steps of 1
    fader.setFadingIn(false);
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    fader.setFadingIn(true);
    fader.resume();
    for (int i = 0; i < 20; ++i) {
        fader.setRange(0, static_cast<BYTE>(100 + i), fader.getAlpha());
        ::Sleep(2);
    }
    fader.setRange(0, 60, 60);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(60, fader.getAlpha());
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window.handle, nullptr, &alpha, nullptr));
    EXPECT_EQ(60, alpha);
}

using testing::threadsOfThisProcess;

TEST_F(OpacityChangerThread, AThreadLivesOnlyWhileAFadeRunsAndNotAfterAStop) {
    const int before = threadsOfThisProcess();
    fader.setRange(0, 255, 255);
    fader.setDuration(2550); // steps of 1: a long fade
    fader.start();
    ASSERT_TRUE(listener.waitForCall());
    EXPECT_TRUE(testing::eventually([&] { return threadsOfThisProcess() == before; }))
        << "no thread between fades";

    fader.setFadingIn(false);
    fader.resume();
    EXPECT_FALSE(fader.isIdle());
    EXPECT_EQ(threadsOfThisProcess(), before + 1);
    fader.setFadingIn(true); // back to where it was: the fade ends at once
    fader.resume();
    ASSERT_TRUE(listener.waitForCall());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(testing::eventually([&] { return threadsOfThisProcess() == before; }));

    // Asked again for where it is already, as every typing key asks the
    // hidden keyboard: the listeners hear of it, and no thread starts.
    const int calls = listener.calls;
    fader.resume();
    EXPECT_EQ(listener.calls, calls + 1);
    EXPECT_TRUE(fader.isIdle());
    EXPECT_EQ(threadsOfThisProcess(), before);

    fader.stopAndWait();
    fader.forget();
    fader.setFadingIn(false);
    fader.resume();
    EXPECT_TRUE(fader.isIdle()) << "a stopped fader starts nothing";
    ::Sleep(50);
    EXPECT_TRUE(fader.applied().empty());
    EXPECT_EQ(threadsOfThisProcess(), before);
}

TEST(OpacityFinishTest, HidesTheWindowOnlyAtZeroAlpha) {
    TestWindow window;
    ui::Window object(window.handle);
    ::ShowWindow(window.handle, SW_SHOWNOACTIVATE);
    OpacityChanger fader;
    OpacityFinish finish(&object);

    fader.setRange(50, 200, 50); // ended at a low above 0
    finish.onAction(fader);
    EXPECT_TRUE(::IsWindowVisible(window.handle));

    fader.setRange(0, 200, 0);
    finish.onAction(fader);
    EXPECT_FALSE(::IsWindowVisible(window.handle));
}

TEST(OpacityFinishTest, HidesFromTheFaderThreadWithoutWaitingForTheWindowThread) {
    TestWindow window;
    ui::Window object(window.handle);
    ::ShowWindow(window.handle, SW_SHOWNOACTIVATE);
    OpacityChanger fader;
    OpacityFinish finish(&object);
    fader.attach(window.handle);
    fader.setRange(0, 100, 100);
    fader.setDuration(10);
    fader.addListener(&finish);
    fader.start();
    fader.setFadingIn(false);
    fader.resume();
    // This thread does not pump while the fade runs: the fader must still
    // reach its end and sleep.
    for (int i = 0; i < 300 && !(fader.isIdle() && fader.getAlpha() == 0); ++i)
        ::Sleep(10);
    ASSERT_TRUE(fader.isIdle());
    testing::pump(100);
    EXPECT_FALSE(::IsWindowVisible(window.handle));
}

} // namespace
} // namespace keywhirl
