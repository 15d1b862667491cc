// bench/input/InputBench.cpp - what one key event costs on its way in:
// the main thread's receiving, the dispatcher's delivery, the hook library.
#include "HookDelivery.h"
#include "KeyStateTracker.h"
#include "input/Desktop.h"
#include "input/KeywhirlController.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "statistics/LastRhythmMonitor.h"
#include "weakkeys/WeakKeyRecorder.h"

#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace keywhirl;
using bench::makeTempFolder;
using bench::now;

namespace {

void report(const char* what, double seconds, int count, double goalMicroseconds) {
    double micro = seconds * 1e6 / count;
    std::printf("%-52s %9.3f us/event", what, micro);
    if (goalMicroseconds > 0)
        std::printf("   goal < %.0f us: %s", goalMicroseconds,
                    micro < goalMicroseconds ? "met" : "MISSED");
    std::printf("\n");
}

class CountingHandler : public KeyHandler {
public:
    void handleKey(const KeyInfoWrapper&) override { ++seen; }
    std::atomic<long> seen{0};
};

class Controller : public KeywhirlController {
public:
    Controller() : KeywhirlController(nullptr) {}
};

KeyRecord sampleRecord() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = 'A';
    record.keyData = 1 | (30 << 16);
    return record;
}

// Waits as the main window does: a suspended dispatcher is woken, as its
// 50 ms timer would.
void waitFor(KeywhirlController& controller, const std::atomic<long>& counter, long target) {
    while (counter.load() < target) {
        if (controller.isSuspended())
            controller.wake();
        ::Sleep(1);
    }
}

void benchReceiving(int count) {
    Controller controller;
    CountingHandler handler;
    controller.addKeyHandler(&handler);
    controller.start();
    KeyRecord record = sampleRecord();
    COPYDATASTRUCT data{kKeyRecordMessage, sizeof record, &record};

    double start = now();
    for (int i = 0; i < count; ++i)
        controller.receive(data);
    double elapsed = now() - start;
    waitFor(controller, handler.seen, count);
    controller.stopAndWait();
    report("main thread: receive one key record", elapsed, count, 2);
}

// Key presses go through the keyboard's label tracking, which translates
// each press with ToUnicodeEx; releases show the dispatcher's own cost.
void benchDispatching(int count, bool presses) {
    Controller controller;
    CountingHandler handlers[8];
    for (CountingHandler& handler : handlers)
        controller.addKeyHandler(&handler);
    KeyRecord record = sampleRecord();
    if (!presses)
        record.keyData |= 0xC0000000u;
    KeyInfoWrapper event{record};
    for (int i = 0; i < count; ++i)
        controller.postKey(event);

    double start = now();
    controller.start();
    waitFor(controller, handlers[7].seen, count);
    double elapsed = now() - start;
    controller.stopAndWait();
    report(presses ? "dispatcher: a key press, keyboard and 8 handlers"
                   : "dispatcher: a key release, keyboard and 8 handlers",
           elapsed, count, presses ? 0 : 5);
}

// A keyboard that does nothing with the events, so that a key press costs
// only the dispatcher and its handlers, without the label tracking's
// translation, whose spread would hide a small difference.
class QuietKeyboard : public Keyboard {
public:
    void handleKey(const KeyInfoWrapper&) override {}
    void check() override {}
    void createWindow(HWND) override {}
    void closeWindow() override {}
};

class ControllerWithKeyboard : public KeywhirlController {
public:
    explicit ControllerWithKeyboard(Keyboard& keyboard) : KeywhirlController(nullptr, keyboard) {}
};

// Seconds per key press through the dispatcher with 8 counting handlers,
// and the weak key recorder when given.
double pressesThroughDispatcher(int count, WeakKeyRecorder* recorder) {
    QuietKeyboard keyboard;
    ControllerWithKeyboard controller(keyboard);
    CountingHandler handlers[8];
    for (CountingHandler& handler : handlers)
        controller.addKeyHandler(&handler);
    if (recorder)
        controller.addKeyHandler(recorder);
    CountingHandler last;
    controller.addKeyHandler(&last);
    // Typing over several keys, as the recorder would see it.
    std::vector<KeyInfoWrapper> events;
    for (unsigned scanCode = 0x10; scanCode <= 0x19; ++scanCode) {
        KeyRecord record = sampleRecord();
        record.keyData = 1 | (scanCode << 16);
        events.emplace_back(record);
    }
    for (int i = 0; i < count; ++i)
        controller.postKey(events[static_cast<size_t>(i) % events.size()]);

    double start = now();
    controller.start();
    waitFor(controller, last.seen, count);
    double elapsed = now() - start;
    controller.stopAndWait();
    return elapsed / count;
}

// The weak key recorder's share of a key press's way through the
// dispatcher: runs with and without it alternate, and the medians are
// compared, so that a busy moment of the machine weighs on both alike.
void benchWeakKeyRecorder(int count, int rounds) {
    std::atomic<unsigned> waitInterval{3000};
    WeakKeyRecorder recorder(&waitInterval);
    std::vector<double> without, with;
    for (int round = 0; round < rounds; ++round) {
        without.push_back(pressesThroughDispatcher(count, nullptr));
        with.push_back(pressesThroughDispatcher(count, &recorder));
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    double plain = median(without) * 1e6;
    double recorded = median(with) * 1e6;
    std::printf("%-52s %9.3f us/event\n", "dispatcher: a key press, 9 handlers, no labels", plain);
    std::printf("%-52s %9.3f us/event\n", "dispatcher: the same with the weak key recorder",
                recorded);
    double added = recorded - plain;
    std::printf("%-52s %9.3f us/event   goal < 0.2 us: %s\n",
                "weak key recorder: added cost of a key press", added,
                added < 0.2 ? "met" : "MISSED");
}

void benchHookWork(int count) {
    hook::HookDelivery delivery;
    HWND sink = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
    delivery.start(sink);
    hook::LowLevelKey key{'A', 30, false, false, false};

    double start = now();
    for (int i = 0; i < count; ++i) {
        key.released = (i & 1) != 0;
        delivery.pushKey(key);
        if ((i & 1023) == 0) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&message);
        }
    }
    double elapsed = now() - start;
    delivery.stop();
    ::DestroyWindow(sink);
    report("hook library: the queue inside the hook", elapsed, count, 0);
}

// Throughput of the real low-level hook: a burst of SendInput calls, then the
// wait, in 1 ms sleeps, until the last record has come to the window; the
// total over the records. It is not the latency of one key: the records queue
// behind each other, and the polling adds up to a millisecond at the end.
std::atomic<long> hookedRecords{0};
LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        if (reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == kKeyRecordMessage)
            ++hookedRecords;
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void benchHookBurst(const std::wstring& libraryPath, int count) {
    HMODULE library = ::LoadLibraryW(libraryPath.c_str());
    if (!library) {
        std::printf("hook library burst: Keywhirl.dll not found\n");
        return;
    }
    using HookFunction = int(WINAPI*)(HWND);
    auto setHook = reinterpret_cast<HookFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "setKeywhirlHook")));
    auto clearHook = reinterpret_cast<HookFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "clearKeywhirlHook")));
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = countingProc;
    windowClass.lpszClassName = L"KeywhirlBenchSink";
    ::RegisterClassW(&windowClass);
    HWND sink = ::CreateWindowExW(0, L"KeywhirlBenchSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    if (!setHook || !clearHook || !setHook(sink)) {
        std::printf("hook library burst: the hook could not be installed\n");
        return;
    }
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_F24; // a key no program here reacts to
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;

    double start = now();
    for (int i = 0; i < count / 2; ++i) {
        ::SendInput(2, inputs, sizeof(INPUT));
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
    }
    double deadline = now() + 10;
    while (hookedRecords.load() < count && now() < deadline) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
        ::Sleep(1);
    }
    double elapsed = now() - start;
    clearHook(sink);
    ::DestroyWindow(sink);
    std::printf("(%ld of %d hooked events arrived)\n", hookedRecords.load(), count);
    report("hook library: burst throughput, SendInput to WM_COPYDATA (1 ms polls)", elapsed,
           hookedRecords.load() ? static_cast<int>(hookedRecords.load()) : 1, 0);
}

// The rhythm of an even burst as the program would judge it: from the times
// the keys were sent, from the times the hook library gives them, and from
// the times their records arrive. The key times must not depend on how busy
// the machine is; the arrival times do.
struct BurstTimes {
    std::vector<DWORD> sent, keyed, arrived;
};
BurstTimes* burstTimes = nullptr;

LRESULT CALLBACK timingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (burstTimes && data->dwData == kKeyRecordMessage && data->cbData >= sizeof(KeyRecord)) {
            KeyRecord record;
            std::memcpy(&record, data->lpData, sizeof record);
            if (record.virtualKey == VK_F24 && !(record.keyData & 0x80000000u)) {
                burstTimes->keyed.push_back(record.time);
                burstTimes->arrived.push_back(::GetTickCount());
            }
        }
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

unsigned rhythmOfTimes(const std::vector<DWORD>& times) {
    std::uint64_t n = 0, sum = 0, squares = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const std::uint64_t gap = DWORD(times[i] - times[i - 1]);
        ++n;
        sum += gap;
        squares += gap * gap;
    }
    return LastRhythmMonitor::rhythmOf(n, sum, squares);
}

std::atomic<bool> spinning{false};
DWORD WINAPI spin(void*) {
    volatile std::uint64_t work = 0;
    while (spinning.load())
        for (int i = 0; i < 100000; ++i)
            work = work + std::uint64_t(i) * 7;
    return 0;
}

struct Sender {
    BurstTimes* times;
    int keys;
    DWORD gap;
};
DWORD WINAPI sendBurst(void* parameter) {
    auto* sender = static_cast<Sender*>(parameter);
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_F24;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    const DWORD start = ::GetTickCount() + 100;
    for (int i = 0; i < sender->keys; ++i) {
        // Signed: the start lies a little ahead.
        while (LONG(::GetTickCount() - start) < LONG(DWORD(i) * sender->gap))
            ::Sleep(1);
        sender->times->sent.push_back(::GetTickCount());
        ::SendInput(2, inputs, sizeof(INPUT));
    }
    return 0;
}

void benchBurstRhythm(const std::wstring& libraryPath, int keys, DWORD gap) {
    HMODULE library = ::LoadLibraryW(libraryPath.c_str());
    using HookFunction = int(WINAPI*)(HWND);
    auto setHook = library ? reinterpret_cast<HookFunction>(reinterpret_cast<void*>(
                                 ::GetProcAddress(library, "setKeywhirlHook")))
                           : nullptr;
    auto clearHook = library ? reinterpret_cast<HookFunction>(reinterpret_cast<void*>(
                                   ::GetProcAddress(library, "clearKeywhirlHook")))
                             : nullptr;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = timingProc;
    windowClass.lpszClassName = L"KeywhirlBenchTimingSink";
    ::RegisterClassW(&windowClass);
    for (bool busy : {false, true}) {
        HWND sink = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0,
                                      HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (!setHook || !clearHook || !setHook(sink)) {
            std::printf("burst rhythm: the hook could not be installed\n");
            return;
        }
        BurstTimes times;
        burstTimes = &times;
        HANDLE load[2] = {};
        if (busy) {
            spinning = true;
            for (HANDLE& thread : load)
                thread = ::CreateThread(nullptr, 0, spin, nullptr, 0, nullptr);
        }
        Sender sender{&times, keys, gap};
        HANDLE thread = ::CreateThread(nullptr, 0, sendBurst, &sender, 0, nullptr);
        const double deadline = now() + keys * gap / 1000.0 + 15;
        while (times.keyed.size() < std::size_t(keys) && now() < deadline) {
            // A busy program: its thread takes its messages only now and then.
            if (busy)
                ::Sleep(30);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&message);
            ::Sleep(1);
        }
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
        spinning = false;
        for (HANDLE loadThread : load)
            if (loadThread) {
                ::WaitForSingleObject(loadThread, INFINITE);
                ::CloseHandle(loadThread);
            }
        clearHook(sink);
        burstTimes = nullptr;
        ::DestroyWindow(sink);
        const unsigned sent = rhythmOfTimes(times.sent);
        const unsigned keyed = rhythmOfTimes(times.keyed);
        const unsigned arrived = rhythmOfTimes(times.arrived);
        const int off = int(keyed) - int(sent);
        const char* machine = busy ? "busy machine" : "idle machine";
        std::printf("(%zu of %d burst keys arrived, %lu ms apart)\n", times.keyed.size(), keys,
                    gap);
        std::printf("burst rhythm, %s: as the keys were sent  %8u %%\n", machine, sent);
        std::printf("burst rhythm, %s: by the keys' own times  %8u %%   goal within 2 of as "
                    "sent: %s\n",
                    machine, keyed, off >= -2 && off <= 2 ? "met" : "MISSED");
        std::printf("burst rhythm, %s: by the records' arrival  %8u %%\n", machine, arrived);
    }
}

} // namespace

// What the dispatcher adds to a pass that delivers keys: the look at the
// control with the keyboard focus (here a password edit of this program's
// own, in front) and the quiet decision. Once a pass, so once a key when
// the user types slowly.
void benchQuietCheck(int count) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 0, 0, 200,
                                  24, window, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(edit);
    DesktopFacts facts;
    int quiet = 0;
    double start = now();
    for (int i = 0; i < count; ++i) {
        Desktop::current().describeFocus(facts);
        quiet += decideQuiet(facts) == QuietLevel::NotCounted;
    }
    double elapsed = now() - start;
    report("dispatcher: the focused control's check, a pass", elapsed, count, 0);
    std::printf("(%d of %d checks saw the password edit)\n", quiet, count);
    ::DestroyWindow(window);
}

int main() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"keywhirl-bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    setFolderOverrides(folder, folder);

    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring benchFolder(self);
    benchFolder.erase(benchFolder.find_last_of(L'\\'));

    benchReceiving(200000);
    benchDispatching(200000, false);
    benchDispatching(20000, true);
    benchWeakKeyRecorder(200000, 7);
    benchQuietCheck(200000);
    benchHookWork(200000);
    benchHookBurst(benchFolder + L"\\..\\out\\Keywhirl.dll", 2000);
    benchBurstRhythm(benchFolder + L"\\..\\out\\Keywhirl.dll", 300, 50);

    Settings::destroyInstance();
    resetFolderOverrides();
    return 0;
}
