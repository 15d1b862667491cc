// tests/unit/app/StartedSignalTest.cpp
#include "app/StartedSignal.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

// What another program sees of this one's start, by the event's name alone.
DWORD seenFromOutside() {
    utils::UniqueHandle event(
        ::OpenEventW(SYNCHRONIZE, FALSE, StartedSignal::nameFor(::GetCurrentProcessId()).c_str()));
    if (!event)
        return WAIT_FAILED;
    return ::WaitForSingleObject(event.get(), 0);
}

TEST(StartedSignal, TheEventExistsAndStaysSetFromTheRaiseForAsLongAsTheSignalLives) {
    EXPECT_EQ(StartedSignal::nameFor(1234), L"Local\\Keywhirl.Started.1234");
    {
        StartedSignal signal;
        EXPECT_EQ(seenFromOutside(), WAIT_FAILED) << "no event before the start has ended";
        signal.raise();
        EXPECT_EQ(seenFromOutside(), WAIT_OBJECT_0);
        EXPECT_EQ(seenFromOutside(), WAIT_OBJECT_0) << "manual reset: a wait does not take it";
        signal.raise();
        EXPECT_EQ(seenFromOutside(), WAIT_OBJECT_0);
    }
    EXPECT_EQ(seenFromOutside(), WAIT_FAILED) << "gone with the program";
}

} // namespace
} // namespace keywhirl
