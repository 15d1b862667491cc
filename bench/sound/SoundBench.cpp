// bench/sound/SoundBench.cpp - what a click costs on the dispatcher thread, and what
// the start-up costs: reading and parsing the click, filling ten voices.
//
// Without a sound device only the parsing is measured. Under Wine, ALSA's
// file plugin gives one: XDG_CONFIG_HOME pointing at a folder whose
// alsa/asoundrc holds
//   pcm.!default { type file slave.pcm "null" file "/tmp/OUT.raw" format "raw" }
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sound/ClickPlayer.h"
#include "sound/WavParser.h"

#include "BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace keywhirl;
using bench::makeTempFolder;
using bench::now;
using bench::outputFolder;

namespace {

void report(const char* what, double seconds, int count, double goalMicroseconds) {
    double micro = seconds * 1e6 / count;
    std::printf("%-48s %10.3f us each", what, micro);
    if (goalMicroseconds > 0)
        std::printf("   goal < %.0f us: %s", goalMicroseconds,
                    micro < goalMicroseconds ? "met" : "MISSED");
    std::printf("\n");
}

KeyInfoWrapper press() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = 'A';
    record.keyData = 1u | (30u << 16);
    return KeyInfoWrapper(record);
}

} // namespace

int main() {
    const std::wstring program = outputFolder();
    const std::wstring appData = makeTempFolder(L"keywhirl-sound-bench");
    setFolderOverrides(program, appData);

    std::vector<char> click;
    if (readFileBytes(program + L"/Sounds/Click.wav", click) != 0) {
        std::printf("no Sounds/Click.wav in the output folder: build keywhirl_data first\n");
        return 1;
    }
    std::printf("click file: %u bytes\n", static_cast<unsigned>(click.size()));

    const int parses = 200000;
    double start = now();
    std::size_t found = 0;
    for (int i = 0; i < parses; ++i)
        found += parseWav(click.data(), click.size())->dataSize;
    report("parseWav of the shipped click", now() - start, parses, 0);
    if (found == 0)
        return 1;

    HWND window = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    Settings::instance()->enableKeyPressSound = true;
    {
        ClickPlayer player;
        start = now();
        bool ready = player.init(window);
        double initSeconds = now() - start;
        if (!ready) {
            std::printf("no DirectSound device: the click player stays silent\n");
        } else {
            report("init: ten voices of the click (start-up)", initSeconds, 1, 0);
            // A click must follow the key at once: a rewind and a start.
            const int clicks = 2000;
            start = now();
            for (int i = 0; i < clicks; ++i)
                player.handleKey(press());
            report("handleKey: one key-down click", now() - start, clicks, 1000);

            KeyRecord up = press().record();
            up.keyData |= 0xC0000000u;
            KeyInfoWrapper release(up);
            const int releases = 200000;
            start = now();
            for (int i = 0; i < releases; ++i)
                player.handleKey(release);
            report("handleKey: a key-up (no click)", now() - start, releases, 1);
        }
        player.stop();
    }
    ::DestroyWindow(window);

    Settings::destroyInstance();
    resetFolderOverrides();
    ::DeleteFileW((appData + L"\\Keywhirl\\Keywhirl.ini").c_str());
    ::RemoveDirectoryW((appData + L"\\Keywhirl").c_str());
    ::RemoveDirectoryW(appData.c_str());
    return 0;
}
