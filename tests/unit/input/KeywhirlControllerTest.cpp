// tests/unit/input/KeywhirlControllerTest.cpp
#include "input/KeywhirlController.h"

#include "support/TestSettings.h"
#include "utils/CriticalSection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

// What the dispatcher did, in order, as seen by the keyboard and handlers.
class Journal {
public:
    void add(const std::string& entry) {
        utils::Lock guard(lock);
        entries.push_back(entry);
    }
    std::vector<std::string> read() {
        utils::Lock guard(lock);
        std::vector<std::string> copy = entries;
        return copy;
    }
    void clear() {
        utils::Lock guard(lock);
        entries.clear();
    }

private:
    utils::CriticalSection lock;
    std::vector<std::string> entries;
};

std::string describe(const KeyInfoWrapper& event) {
    std::string name(1, static_cast<char>(event.virtualKey()));
    return name + (event.isKeyUp() ? " up" : " down");
}

class RecordingKeyboard : public Keyboard {
public:
    explicit RecordingKeyboard(Journal& journal) : journal(journal) {}
    void handleKey(const KeyInfoWrapper& event) override {
        journal.add("keyboard " + describe(event));
    }
    void check() override { journal.add("check"); }
    // The tests wake the dispatcher themselves unless they set a pause.
    DWORD millisecondsLeft() const override { return pause; }
    void onLayoutChanged(HKL layout) override {
        journal.add("layout " + std::to_string(reinterpret_cast<UINT_PTR>(layout)));
    }
    void createWindow(HWND) override { journal.add("create"); }
    void closeWindow() override { journal.add("close"); }
    bool isWindowVisible() override { return visible; }
    void showWindow() override { journal.add("show"); }
    void hideWindow() override { journal.add("hide"); }

    Journal& journal;
    std::atomic<bool> visible{false};
    std::atomic<DWORD> pause{INFINITE};
};

class RecordingHandler : public KeyHandler {
public:
    RecordingHandler(Journal& journal, std::string name)
        : journal(journal), name(std::move(name)) {}
    void handleKey(const KeyInfoWrapper& event) override {
        journal.add(name + " " + describe(event));
    }
    Journal& journal;
    std::string name;
};

class TestController : public KeywhirlController {
public:
    explicit TestController(Keyboard& keyboard) : KeywhirlController(nullptr, keyboard) {}
};

KeyInfoWrapper key(char letter, bool up = false) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = static_cast<UINT>(letter);
    record.keyData = 1u | (up ? 0xC0000000u : 0u);
    return KeyInfoWrapper(record);
}

class KeywhirlControllerTest : public ::testing::Test {
protected:
    // Waits until the dispatcher has suspended itself with the journal at
    // least this long.
    std::vector<std::string> settle(size_t atLeast) {
        for (int i = 0; i < 300; ++i) {
            if (controller.isSuspended() && journal.read().size() >= atLeast)
                break;
            ::Sleep(10);
        }
        ::Sleep(20);
        return journal.read();
    }
    void startAndSettle() {
        controller.start();
        settle(0);
        journal.clear();
    }

    testing::TestSettings settings;
    Journal journal;
    RecordingKeyboard keyboard{journal};
    TestController controller{keyboard};
    RecordingHandler first{journal, "first"};
    RecordingHandler second{journal, "second"};
};

using Entries = std::vector<std::string>;

TEST_F(KeywhirlControllerTest, OnePassRunsLayoutThenWindowCommandThenEventsThenTheCheck) {
    journal.clear();
    controller.addKeyHandler(&first);
    controller.addKeyHandler(&second);
    controller.setLayout(reinterpret_cast<HKL>(7));
    controller.toggleKeyboard();
    controller.postKey(key('A'));
    controller.postKey(key('A', true));

    controller.start();
    EXPECT_EQ(settle(9),
              (Entries{"layout 7", "show", "keyboard A down", "first A down", "second A down",
                       "keyboard A up", "first A up", "second A up", "check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, OfTwoKeyboardCommandsGivenBeforeThePassOnlyTheLaterRuns) {
    journal.clear();
    controller.toggleKeyboard(); // hidden: show
    keyboard.visible = true;
    controller.toggleKeyboard(); // visible: hide
    controller.start();
    EXPECT_EQ(settle(2), (Entries{"hide", "check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, AWakeUpWithNothingQueuedRunsOnlyTheTimeCheck) {
    startAndSettle();
    controller.wake();
    EXPECT_EQ(settle(1), (Entries{"check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, AnIdleDispatcherChecksAgainWhenTheKeyboardsPauseIsOver) {
    startAndSettle();
    keyboard.pause = 20;
    controller.wake(); // the sleep it was in began before the pause was set
    std::vector<std::string> checks;
    for (int i = 0; i < 300 && checks.size() < 4; ++i) {
        ::Sleep(10);
        checks = journal.read();
    }
    keyboard.pause = INFINITE;
    controller.wake();
    EXPECT_GE(checks.size(), 4u) << "one wake-up, then the checks come by themselves";
    for (const std::string& entry : checks)
        EXPECT_EQ(entry, "check");
    controller.stopAndWait();
}

// Holds up the first event until the test lets it go.
class BlockingHandler : public KeyHandler {
public:
    void handleKey(const KeyInfoWrapper&) override {
        if (!blocked.exchange(true)) {
            ::SetEvent(entered);
            ::WaitForSingleObject(release, INFINITE);
        }
    }
    std::atomic<bool> blocked{false};
    HANDLE entered = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~BlockingHandler() override {
        ::CloseHandle(entered);
        ::CloseHandle(release);
    }
};

TEST_F(KeywhirlControllerTest, AnEventArrivingDuringAPassIsDeliveredByTheNextPassAtOnce) {
    BlockingHandler blocker;
    controller.addKeyHandler(&blocker);
    controller.addKeyHandler(&first);
    startAndSettle();

    controller.postKey(key('A'));
    ASSERT_EQ(::WaitForSingleObject(blocker.entered, 2000), WAIT_OBJECT_0);
    controller.postKey(key('B'));
    ::SetEvent(blocker.release);

    // No wake() and no timer: the second pass must follow by itself.
    EXPECT_EQ(settle(6), (Entries{"keyboard A down", "first A down", "check", "keyboard B down",
                                  "first B down", "check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, RemovingAHandlerRemovesEveryCopyOfIt) {
    controller.addKeyHandler(&first);
    controller.addKeyHandler(&second);
    controller.addKeyHandler(&first);
    controller.removeKeyHandler(&first);
    startAndSettle();
    controller.postKey(key('C'));
    EXPECT_EQ(settle(3), (Entries{"keyboard C down", "second C down", "check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, CopyDataOfOtherKindsOrShortPayloadsChangesNothing) {
    controller.addKeyHandler(&first);
    startAndSettle();

    KeyRecord record = key('D').record();
    HKL layout = ::GetKeyboardLayout(0);
    COPYDATASTRUCT ignored[] = {
        {0, sizeof record, &record},
        {3, sizeof record, &record},
        {kKeyRecordMessage, sizeof record - 1, &record},
        {kKeyRecordMessage, sizeof record, nullptr},
        {kLayoutReportMessage, 3, &layout},
    };
    for (const COPYDATASTRUCT& data : ignored)
        controller.receive(data);
    controller.wake();
    EXPECT_EQ(settle(1), (Entries{"check"}));

    journal.clear();
    controller.receive({kKeyRecordMessage, sizeof record + 10, &record});
    EXPECT_EQ(settle(3), (Entries{"keyboard D down", "first D down", "check"}))
        << "a longer payload is read as one record";

    journal.clear();
    controller.receive({kLayoutReportMessage, sizeof layout, &layout});
    EXPECT_EQ(settle(2),
              (Entries{"layout " + std::to_string(reinterpret_cast<UINT_PTR>(layout)), "check"}));
    controller.stopAndWait();
}

TEST_F(KeywhirlControllerTest, RefreshHidesAndShowsOnTheCallingThread) {
    journal.clear();
    controller.refreshKeyboard();
    EXPECT_EQ(journal.read(), (Entries{"hide", "show"}));
}

TEST_F(KeywhirlControllerTest, StopAndWaitDeliversWhatWasQueuedBeforeTheStop) {
    controller.addKeyHandler(&first);
    startAndSettle();
    controller.postKey(key('E'));
    controller.stopAndWait();
    Entries entries = journal.read();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[0], "keyboard E down");
    EXPECT_EQ(entries[1], "first E down");
}

} // namespace
} // namespace keywhirl

namespace keywhirl {
namespace {

class CountingHandler : public KeyHandler {
public:
    void handleKey(const KeyInfoWrapper&) override { ++seen; }
    std::atomic<long> seen{0};
};

// A resume that comes between the dispatcher flagging itself suspended and
// really suspending is lost; the main window's timer, which wakes a
// dispatcher that says it is suspended, must still find it every time.
TEST_F(KeywhirlControllerTest, EveryEventArrivesWhenTheTimerWakesADispatcherThatSaysItSleeps) {
    CountingHandler counter;
    controller.addKeyHandler(&counter);
    startAndSettle();
    journal.clear();
    const long events = 20000;
    long stuck = 0;
    for (long i = 0; i < events && stuck == 0; ++i) {
        controller.postKey(key(i % 2 ? 'X' : 'Y', true));
        DWORD start = ::GetTickCount();
        while (counter.seen.load() <= i) {
            if (controller.isSuspended())
                controller.wake();
            if (::GetTickCount() - start > 5000) {
                stuck = i;
                break;
            }
        }
        if (i % 256 == 0)
            journal.clear();
    }
    EXPECT_EQ(stuck, 0) << "the dispatcher slept for good with event " << stuck << " queued";
    EXPECT_EQ(counter.seen.load(), events);
    controller.stopAndWait();
}

} // namespace
} // namespace keywhirl
