// tests/unit/utils/ThreadTest.cpp
#include "utils/ProcessingIndicator.h"
#include "utils/SingletonDeleter.h"
#include "utils/Thread.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>

namespace keywhirl::utils {
namespace {

class CountingThread : public Thread {
public:
    ~CountingThread() override { stopAndWait(); }
    void process() override {
        ++units;
        ::Sleep(1);
    }
    std::atomic<int> units{0};
};

using testing::eventually;

TEST(Thread, StopAndStopAndWaitOnAThreadNeverStartedDoNothing) {
    CountingThread thread;
    EXPECT_TRUE(thread.isStopped());
    thread.stop();
    thread.stopAndWait();
    thread.stopAndWait();
    EXPECT_TRUE(thread.isStopped());
    EXPECT_FALSE(thread.isSuspended());
    EXPECT_EQ(thread.units, 0);
}

TEST(Thread, RunsUnitsUntilStoppedAndCanStartAgain) {
    CountingThread thread;
    thread.start();
    EXPECT_FALSE(thread.isStopped());
    EXPECT_TRUE(eventually([&] { return thread.units > 3; }));
    thread.stopAndWait();
    int afterStop = thread.units;
    ::Sleep(30);
    EXPECT_EQ(thread.units, afterStop) << "no unit runs after stopAndWait";

    thread.start();
    EXPECT_TRUE(eventually([&] { return thread.units > afterStop; }));
    thread.stopAndWait();
}

// Suspends itself in every unit, like the idle dispatcher.
class SelfSuspendingThread : public Thread {
public:
    ~SelfSuspendingThread() override { stopAndWait(); }
    void process() override {
        if (delayBeforeSuspending) {
            ::SetEvent(started);
            ::Sleep(100);
            delayBeforeSuspending = false;
        }
        suspend();
        ++wakeUps;
    }
    HANDLE started = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> delayBeforeSuspending{false};
    std::atomic<int> wakeUps{0};
};

TEST(Thread, ResumeWakesAThreadThatSuspendedItself) {
    SelfSuspendingThread thread;
    thread.start();
    EXPECT_TRUE(eventually([&] { return thread.isSuspended(); }));
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.wakeUps >= 1; }));
    thread.stopAndWait();
    ::CloseHandle(thread.started);
}

TEST(Thread, AWakeUpBeforeTheSleepIsKeptAndWakeUpsDoNotPileUp) {
    SelfSuspendingThread thread;
    thread.delayBeforeSuspending = true;
    thread.start();
    ASSERT_EQ(::WaitForSingleObject(thread.started, 2000), WAIT_OBJECT_0);
    // Three wake-ups while the thread is still busy before its first sleep.
    thread.resume();
    thread.resume();
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.wakeUps == 1; })) << "the early wake-up was lost";
    EXPECT_TRUE(eventually([&] { return thread.isSuspended(); }));
    ::Sleep(50);
    EXPECT_EQ(thread.wakeUps, 1) << "one sleep for three wake-ups, then asleep again";
    thread.stopAndWait();
    ::CloseHandle(thread.started);
}

// Sleeps with a time-out in every unit and notes how each sleep ended, like
// the dispatcher that waits for the hint's pause.
class TimedSleeper : public Thread {
public:
    ~TimedSleeper() override { stopAndWait(); }
    void process() override {
        bool woken = suspend(timeout);
        (woken ? byResume : byTimeOut)++;
    }
    std::atomic<DWORD> timeout{INFINITE};
    std::atomic<int> byResume{0};
    std::atomic<int> byTimeOut{0};
};

TEST(Thread, ASleepWithATimeOutEndsByItselfOrEarlierByAResume) {
    TimedSleeper thread;
    thread.timeout = 10;
    thread.start();
    EXPECT_TRUE(eventually([&] { return thread.byTimeOut >= 3; })) << "no resume needed";
    EXPECT_EQ(thread.byResume, 0);

    thread.timeout = INFINITE;
    EXPECT_TRUE(eventually([&] { return thread.isSuspended(); }));
    const int timedOut = thread.byTimeOut;
    ::Sleep(50);
    EXPECT_LE(thread.byTimeOut, timedOut + 1) << "at most the sleep that was under way";
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.byResume == 1; })) << "told apart from a time-out";

    // A resume that comes while the thread is awake wakes the next sleep at
    // once, time-out or not.
    thread.timeout = 60000;
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.byResume >= 2; }));
    thread.stopAndWait();
}

TEST(Thread, StopAndWaitEndsAThreadThatSuspendsJustAfterTheStopWokeIt) {
    SelfSuspendingThread thread;
    thread.delayBeforeSuspending = true;
    thread.start();
    ASSERT_EQ(::WaitForSingleObject(thread.started, 2000), WAIT_OBJECT_0);
    // The wake-up of stop() comes before the thread suspends itself.
    thread.stopAndWait();
    EXPECT_TRUE(thread.isStopped());
    ::CloseHandle(thread.started);
}

struct GuardedCounter {
    std::atomic<bool> flag{false};
    long value = 0; // deliberately not atomic: only the guard protects it
};

DWORD WINAPI incrementUnderGuard(void* parameter) {
    auto* counter = static_cast<GuardedCounter*>(parameter);
    for (int i = 0; i < 200000; ++i) {
        ProcessingIndicator guard(&counter->flag);
        long seen = counter->value;
        counter->value = seen + 1;
    }
    return 0;
}

TEST(ProcessingIndicator, KeepsTwoThreadsOutOfEachOthersSection) {
    GuardedCounter counter;
    HANDLE threads[2];
    for (HANDLE& thread : threads)
        thread = ::CreateThread(nullptr, 0, incrementUnderGuard, &counter, 0, nullptr);
    ::WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        ::CloseHandle(thread);
    EXPECT_EQ(counter.value, 400000);
    EXPECT_FALSE(counter.flag) << "the guard is released at the end of its block";
}

class CountedSingleton {
public:
    static CountedSingleton* instance() {
        if (!current)
            current = new CountedSingleton;
        return current;
    }
    static void destroyInstance() {
        delete current;
        current = nullptr;
    }
    ~CountedSingleton() { ++destroyed; }
    static CountedSingleton* current;
    static int destroyed;
};
CountedSingleton* CountedSingleton::current = nullptr;
int CountedSingleton::destroyed = 0;

TEST(SingletonDeleter, DestroysTheInstanceOnceAndToleratesAnEarlierDestroy) {
    CountedSingleton::destroyed = 0;
    {
        SingletonDeleter<CountedSingleton> deleter;
        CountedSingleton::instance();
    }
    EXPECT_EQ(CountedSingleton::destroyed, 1);
    EXPECT_EQ(CountedSingleton::current, nullptr);

    {
        SingletonDeleter<CountedSingleton> deleter;
        CountedSingleton::instance();
        CountedSingleton::destroyInstance();
    }
    EXPECT_EQ(CountedSingleton::destroyed, 2) << "nothing is left for the deleter";
}

} // namespace
} // namespace keywhirl::utils
