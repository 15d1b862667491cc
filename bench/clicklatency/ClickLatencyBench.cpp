// bench/clicklatency/ClickLatencyBench.cpp - how long a key press takes from the main
// window's WM_COPYDATA to the click voice's play(): the dispatcher's wake-up, the keyboard's
// label tracking and the click player's checks.
//
// Each record is handed over alone and its click awaited before the next,
// so the figures are latencies, not throughput. The timing voice measures
// the path up to the call; the real DirectSound voices add the cost of the
// call itself and need a sound device. Under Wine, ALSA's file plugin gives
// one: run with XDG_CONFIG_HOME pointing at a folder whose alsa/asoundrc is
//   pcm.!default { type file slave.pcm "null" file "/tmp/OUT.raw" format "raw" }
#include "input/KeywhirlController.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sound/ClickPlayer.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace keywhirl;

namespace {

int records = 10000; // a count on the command line overrides it
constexpr double kGoalMicroseconds = 1000;

LONGLONG counter() {
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

double counterMicroseconds() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1e6 / static_cast<double>(frequency.QuadPart);
}

// The moment of the latest play() call and how many there were; written on
// the dispatcher thread, read on the main thread after the count moved.
std::atomic<LONGLONG> lastPlayAt{0};
std::atomic<long> plays{0};

void notePlay(LONGLONG at) {
    lastPlayAt.store(at, std::memory_order_relaxed);
    plays.fetch_add(1, std::memory_order_release);
}

// A voice that only notes when it is started.
class TimingVoice {
public:
    explicit TimingVoice(HWND) {}
    bool loadFile(const wchar_t*) { return true; }
    bool play() {
        notePlay(counter());
        return true;
    }
};

// A real DirectSound voice, timed at the moment its play() is called.
class TimedDirectSoundVoice {
public:
    explicit TimedDirectSoundVoice(HWND window) : voice(window) {}
    bool loadFile(const wchar_t* path) { return voice.loadFile(path); }
    bool play() {
        LONGLONG at = counter();
        bool played = voice.play();
        playCost += counter() - at;
        notePlay(at);
        return played;
    }
    static LONGLONG playCost;

private:
    TWAVDirectSound voice;
};
LONGLONG TimedDirectSoundVoice::playCost = 0;

class Controller : public KeywhirlController {
public:
    Controller() : KeywhirlController(nullptr) {}
};

KeyRecord pressRecord() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = 'A';
    record.keyData = 1u | (30u << 16);
    record.keyState['A'] = 0x80;
    return record;
}

double percentile(const std::vector<double>& sorted, int percent) {
    return sorted[sorted.size() * percent / 100];
}

void printFigures(const char* what, std::vector<double> latencies) {
    std::sort(latencies.begin(), latencies.end());
    double p99 = percentile(latencies, 99);
    std::printf("%-36s median %7.1f us  p90 %7.1f us  p99 %8.1f us  max %9.1f us"
                "   goal p99 < %.0f us: %s\n",
                what, percentile(latencies, 50), percentile(latencies, 90), p99, latencies.back(),
                kGoalMicroseconds, p99 < kGoalMicroseconds ? "met" : "MISSED");
}

template <typename Voice> bool measure(const char* what) {
    BasicClickPlayer<Voice> player;
    HWND window = ::CreateWindowExW(0, L"STATIC", L"clicks", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    if (!player.init(window)) {
        std::printf("%-36s skipped: no sound device or no Sounds/Click.wav\n", what);
        ::DestroyWindow(window);
        return false;
    }
    Controller controller;
    controller.addKeyHandler(&player);
    controller.start();

    KeyRecord record = pressRecord();
    COPYDATASTRUCT data{kKeyRecordMessage, sizeof record, &record};
    const double toMicroseconds = counterMicroseconds();
    std::vector<double> latencies;
    latencies.reserve(records);
    // The same without the records that only a forced wake-up delivered.
    std::vector<double> delivered;
    delivered.reserve(records);
    long timerWakes = 0;
    long lostWakes = 0;
    plays.store(0);
    for (int i = 0; i < records; ++i) {
        LONGLONG received = counter();
        controller.receive(data);
        // Wake a dispatcher that went to sleep with the record still queued
        // after 50 ms; such a record is counted with the wait and should
        // never occur: a wake-up that comes before the dispatcher sleeps is
        // kept, and the program has no timer that would find it. One that
        // stays asleep for a second while saying it is awake is woken here
        // and counted apart, so that the run can go on.
        long lostBefore = lostWakes;
        DWORD waitStart = ::GetTickCount();
        while (plays.load(std::memory_order_acquire) <= i) {
            if (controller.isSuspended()) {
                ::Sleep(50);
                if (plays.load(std::memory_order_acquire) <= i && controller.isSuspended()) {
                    controller.wake();
                    ++timerWakes;
                }
            } else if (::GetTickCount() - waitStart > 1000) {
                controller.wake();
                ++lostWakes;
                waitStart = ::GetTickCount();
            }
        }
        double latency =
            static_cast<double>(lastPlayAt.load(std::memory_order_relaxed) - received) *
            toMicroseconds;
        latencies.push_back(latency);
        if (lostWakes == lostBefore)
            delivered.push_back(latency);
        // The dispatcher goes back to sleep between key presses, as it does
        // between a typist's keys.
        DWORD since = ::GetTickCount();
        while (!controller.isSuspended() && ::GetTickCount() - since < 200)
            ::Sleep(0);
    }
    controller.stopAndWait();
    player.stop();
    ::DestroyWindow(window);
    printFigures(what, latencies);
    std::printf("%-36s %ld of %d records were left asleep in the queue\n", "", timerWakes, records);
    if (lostWakes) {
        std::printf("%-36s %ld records found the dispatcher asleep with its flag saying awake\n",
                    "", lostWakes);
        printFigures("  without those", delivered);
    }
    return true;
}

std::wstring outputFolder() {
    std::wstring path = L"Z:";
    for (const char* c = KEYWHIRL_OUTPUT_DIR_UNIX; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::atoi(argv[1]) > 0)
        records = std::atoi(argv[1]);
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring appData = std::wstring(temp) + L"keywhirl-clicklatency-bench-" +
                           std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(appData.c_str(), nullptr);
    // The program folder is the build's output folder, where Sounds/Click.wav is.
    setFolderOverrides(outputFolder(), appData);
    Settings::instance()->enableKeyPressSound = true;
    Settings::instance()->keyboardAutoPopupping = false;

    std::printf("%d key presses, each from receive() to the voice's play()\n", records);
    measure<TimingVoice>("timing voice");
    if (measure<TimedDirectSoundVoice>("DirectSound voice"))
        std::printf("%-36s play() itself: %.1f us on average\n", "",
                    static_cast<double>(TimedDirectSoundVoice::playCost) * counterMicroseconds() /
                        records);

    Settings::destroyInstance();
    ::DeleteFileW((appData + L"\\Keywhirl\\Keywhirl.ini").c_str());
    ::RemoveDirectoryW((appData + L"\\Keywhirl").c_str());
    ::RemoveDirectoryW(appData.c_str());
    resetFolderOverrides();
    return 0;
}
