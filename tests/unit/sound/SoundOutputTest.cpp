// tests/unit/sound/SoundOutputTest.cpp - the click and the beat reach the sound device.
//
// Runs where KEYWHIRL_SOUND_CAPTURE names (as a Unix path) the file into
// which ALSA's default device writes what is played: CTest runs these cases
// once more with an asoundrc of type "file". Elsewhere they are skipped.
#include "sound/ClickPlayer.h"
#include "sound/Metronome.h"

#include "WavBytes.h"
#include "input/KeyRecord.h"
#include "settings/FileResources.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cstring>

namespace keywhirl {
namespace {

using testing::Bytes;

std::wstring captureFile() {
    char unixPath[1024];
    DWORD length = ::GetEnvironmentVariableA("KEYWHIRL_SOUND_CAPTURE", unixPath, sizeof unixPath);
    if (length == 0 || length >= sizeof unixPath)
        return std::wstring();
    return testing::unixToWinePath(unixPath);
}

struct Capture {
    std::size_t size = 0;
    bool sounded = false; // a sample other than zero somewhere from `from` on
};

Capture readCapture(const std::wstring& path, std::size_t from) {
    Capture capture;
    std::vector<char> bytes;
    if (readFileBytes(path, bytes) != 0)
        return capture;
    capture.size = bytes.size();
    for (std::size_t i = from; i < bytes.size() && !capture.sounded; ++i)
        capture.sounded = bytes[i] != 0;
    return capture;
}

// Waits up to five seconds for a sound after `from`.
Capture waitForSound(const std::wstring& path, std::size_t from) {
    Capture capture;
    for (int i = 0; i < 100 && !capture.sounded; ++i) {
        ::Sleep(50);
        capture = readCapture(path, from);
    }
    return capture;
}

// A loud 200 ms tone, long enough to leave the device's buffers.
Bytes loudWav() {
    Bytes samples;
    for (int i = 0; i < 4410; ++i)
        testing::putLe16(samples,
                         static_cast<unsigned>(static_cast<short>(i % 20 < 10 ? 20000 : -20000)));
    return testing::riffWave({{"fmt ", testing::pcmFormat()}, {"data", samples}});
}

KeyInfoWrapper press() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = VK_SPACE;
    record.keyData = 1u | (57u << 16);
    return KeyInfoWrapper(record);
}

class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override {
        capture = captureFile();
        if (capture.empty())
            GTEST_SKIP() << "no sound capture set up";
        ::DeleteFileW(capture.c_str());
        ::CreateDirectoryW((settings.folder().path() + L"\\Sounds").c_str(), nullptr);
        Settings::instance()->enableKeyPressSound = false;
        Settings::instance()->metronomeRunning = false;
        Settings::instance()->metronomeInterval = 500;
    }
    void TearDown() override { FileResources::destroyInstance(); }

    void writeSound(const wchar_t* name, const Bytes& bytes) {
        ASSERT_TRUE(testing::writeFile(settings.folder().path() + L"\\Sounds\\" + name, bytes));
    }

    testing::TestSettings settings;
    std::wstring capture;
};

TEST_F(SoundOutput, ClickSoundsOnlyWhileSwitchedOn) {
    writeSound(L"Click.wav", loudWav());
    HWND window = ::CreateWindowExW(0, L"STATIC", L"click", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ClickPlayer player;
    if (!player.init(window)) {
        ::DestroyWindow(window);
        GTEST_SKIP() << "no DirectSound device";
    }
    player.handleKey(press());
    ::Sleep(300);
    Capture before = readCapture(capture, 0);
    EXPECT_FALSE(before.sounded) << "a key clicked with the click switched off";

    Settings::instance()->enableKeyPressSound = true;
    player.handleKey(press());
    Capture after = waitForSound(capture, before.size);
    player.stop();
    ::DestroyWindow(window);
    if (after.size == 0)
        GTEST_SKIP() << "the sound does not go through ALSA's default device here";
    EXPECT_TRUE(after.sounded) << "the click never reached the device";
}

TEST_F(SoundOutput, BeatSoundsOnlyWhileTheMetronomeRuns) {
    writeSound(L"Metronome.wav", loudWav());
    FileResources::destroyInstance();
    testing::FakeClock clock(5000);
    Metronome metronome;
    clock.advance(501);
    metronome.check(); // a switched-off process() would sleep until woken
    ::Sleep(300);
    Capture before = readCapture(capture, 0);
    EXPECT_FALSE(before.sounded) << "a beat with the metronome off";

    Settings::instance()->metronomeRunning = true;
    clock.advance(501);
    metronome.process(); // returns when the beat has been played
    Capture after = waitForSound(capture, before.size);
    if (after.size == 0)
        GTEST_SKIP() << "the sound does not go through ALSA's default device here";
    EXPECT_TRUE(after.sounded) << "the beat never reached the device";
}

} // namespace
} // namespace keywhirl
