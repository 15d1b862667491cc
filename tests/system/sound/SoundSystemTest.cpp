// tests/system/sound/SoundSystemTest.cpp - the real program's click and beat, as the sound
// device receives them, and its silence without a device.
#include "SoundCapture.h"

#include "KeywhirlProcess.h"
#include "Probe.h"
#include "resource.h"
#include "support/TempFolder.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace keywhirl::testing {
namespace {

std::wstring programFile() {
    return programOutputFolder() + L"\\Keywhirl.exe";
}

// The capture folder (a Unix path in KEYWHIRL_SOUND_CAPTURE), or empty.
std::wstring captureFolder() {
    char unixPath[1024];
    DWORD length = ::GetEnvironmentVariableA("KEYWHIRL_SOUND_CAPTURE", unixPath, sizeof unixPath);
    if (length == 0 || length >= sizeof unixPath)
        return std::wstring();
    return unixToWinePath(unixPath);
}

const UINT kKeys[] = {'A', 'S', 'D', 'F', 'J'};

// Five presses with their releases, one every 150 ms: longer than a click
// (40 ms), so each press must give a sound of its own.
void pressFiveKeys(HWND mainWindow) {
    for (UINT key : kKeys) {
        ASSERT_TRUE(probe::sendKeyRecord(mainWindow, probe::makeKeyRecord(key, false)));
        ::Sleep(40);
        ASSERT_TRUE(probe::sendKeyRecord(mainWindow, probe::makeKeyRecord(key, true)));
        ::Sleep(110);
    }
}

// Ends the program as its tray menu would and expects a clean exit.
void closeProgram(KeywhirlProcess& program) {
    ::PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.waitForExit(10000)) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.exitCode(), 0u);
}

void prepareSettings() {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"autoRun", L"FALSE");
    writeSetting(L"keyboardAutoPopupping", L"FALSE");
    writeSetting(L"showShortStatistics", L"FALSE");
}

class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override {
        folder = captureFolder();
        if (folder.empty())
            GTEST_SKIP() << "no sound capture set up";
        removeCaptures(folder);
        prepareSettings();
    }
    void TearDown() override {
        removeKeywhirlSettings();
        deleteRunValue();
    }

    // The one stream of the run when only DirectSound played.
    std::vector<float> onlyStream() {
        std::vector<std::wstring> files = captureFiles(folder);
        EXPECT_EQ(files.size(), 1u) << "DirectSound's mixer should be the only stream";
        if (files.empty())
            return {};
        return decodeSamples(readCapture(files.front()));
    }

    std::wstring folder;
};

TEST_F(SoundOutput, EveryKeyPressClicksOnceWhileTheClickIsOn) {
    writeSetting(L"enableKeyPressSound", L"TRUE");
    writeSetting(L"metronomeRunning", L"FALSE");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    ::Sleep(300);
    std::vector<std::wstring> files = captureFiles(folder);
    std::size_t before = files.empty() ? 0 : decodeSamples(readCapture(files.front())).size();

    pressFiveKeys(program.mainWindow());
    ::Sleep(500);
    std::vector<float> samples = onlyStream();
    closeProgram(program);

    ASSERT_GT(samples.size(), before) << "nothing reached the sound device";
    std::vector<std::size_t> onsets = findOnsets(samples);
    EXPECT_EQ(onsets.size(), 5u) << "one click per key press, none for the releases";
    if (!onsets.empty()) {
        EXPECT_GE(onsets.front() + 256, before) << "a sound before the first key press";
    }
    // The spacing in samples says nothing: the null device takes data as
    // fast as it comes, and Wine fills the gaps with more or less silence.
}

TEST_F(SoundOutput, WithTheClickOffTheDeviceStaysClosedUntilTheClickIsSwitchedOn) {
    writeSetting(L"enableKeyPressSound", L"FALSE");
    writeSetting(L"metronomeRunning", L"FALSE");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    pressFiveKeys(program.mainWindow());
    ::Sleep(500);
    // Not even silence: an open device would run its mixer all day.
    EXPECT_TRUE(captureFiles(folder).empty()) << "the sound device was opened for nothing";

    ::SendMessageW(program.mainWindow(), WM_COMMAND, ID_TRAY_KEYPRESS_SOUND, 0);
    ::Sleep(300);
    std::vector<std::wstring> files = captureFiles(folder);
    std::size_t before = files.empty() ? 0 : decodeSamples(readCapture(files.front())).size();
    pressFiveKeys(program.mainWindow());
    ::Sleep(500);
    std::vector<float> samples = onlyStream();
    closeProgram(program);
    ASSERT_GT(samples.size(), before) << "switched on, the click reached nothing";
    EXPECT_EQ(findOnsets(samples).size(), 5u) << "one click per key press once switched on";
}

TEST_F(SoundOutput, TheMetronomeBeatsFourTimesASecondAtAnIntervalOf250) {
    writeSetting(L"enableKeyPressSound", L"FALSE");
    writeSetting(L"metronomeRunning", L"TRUE");
    writeSetting(L"metronomeInterval", L"250");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    ::Sleep(500);

    // Every beat is a PlaySound of its own, and each opens a new stream:
    // count the streams that start sounding in two seconds, and the onsets
    // in them (a driver may also keep one stream for several beats).
    std::vector<std::wstring> before = captureFiles(folder);
    DWORD start = ::GetTickCount();
    ::Sleep(2000);
    std::vector<std::wstring> after = captureFiles(folder);
    DWORD elapsed = ::GetTickCount() - start;
    std::size_t beats = 0;
    for (std::size_t i = before.size(); i < after.size(); ++i)
        beats += findOnsets(decodeSamples(readCapture(after[i]))).size();
    closeProgram(program);

    double perSecond = beats * 1000.0 / elapsed;
    EXPECT_GE(perSecond, 3.0) << beats << " beats in " << elapsed << " ms, in "
                              << after.size() - before.size() << " new streams";
    EXPECT_LE(perSecond, 4.6) << beats << " beats in " << elapsed << " ms";
}

// A copy of the program whose sound files are hostile: a metronome sound
// whose format claims a block size of 0 (the platform's player would divide
// by it) and a click of a gigabyte and a half.
class HostileSounds {
public:
    HostileSounds() {
        const std::wstring out = programOutputFolder();
        for (const wchar_t* folder : {L"Keyboard", L"Localization", L"Sounds"})
            ::CreateDirectoryW(temp.file(folder).c_str(), nullptr);
        for (const wchar_t* file : {L"Keywhirl.exe", L"Keywhirl.dll", L"Keyboard\\Keywhirl.bmp",
                                    L"Localization\\ENU.xml"})
            ::CopyFileW((out + L"\\" + file).c_str(), temp.file(file).c_str(), FALSE);
        std::vector<char> beat = readCapture(out + L"\\Sounds\\Metronome.wav");
        if (beat.size() > 34)
            beat[32] = beat[33] = 0; // nBlockAlign
        writeBytes(temp.file(L"Sounds\\Metronome.wav"), beat);
        HANDLE huge = ::CreateFileW(temp.file(L"Sounds\\Click.wav").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = 1536LL * 1024 * 1024;
        ::SetFilePointerEx(huge, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(huge);
        ::CloseHandle(huge);
    }
    std::wstring program() const { return temp.file(L"Keywhirl.exe"); }

private:
    static void writeBytes(const std::wstring& path, const std::vector<char>& bytes) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    TempFolder temp;
};

TEST_F(SoundOutput, HostileSoundFilesLeaveTheProgramRunningAndSilent) {
    writeSetting(L"enableKeyPressSound", L"TRUE");
    writeSetting(L"metronomeRunning", L"TRUE");
    writeSetting(L"metronomeInterval", L"100");
    HostileSounds copy;
    KeywhirlProcess program(copy.program());
    ASSERT_NE(program.mainWindow(), nullptr);
    // Started all the way: the keyboard, shown at start, is there.
    DWORD start = ::GetTickCount();
    while (probe::programWindows(program.mainWindow()).empty() && ::GetTickCount() - start < 5000)
        ::Sleep(50);
    ASSERT_FALSE(probe::programWindows(program.mainWindow()).empty())
        << "start-up stopped half way";
    pressFiveKeys(program.mainWindow());
    ::Sleep(1000);
    EXPECT_FALSE(program.waitForExit(0)) << "the program ended";
    std::size_t sounds = 0;
    for (const std::wstring& file : captureFiles(folder))
        sounds += findOnsets(decodeSamples(readCapture(file))).size();
    EXPECT_EQ(sounds, 0u) << "a hostile sound was played";
    closeProgram(program);
}

// The plain test prefix has no sound card: DirectSound cannot start and
// PlaySound has nowhere to play; the program must go on as if all was well.
class NoSoundDevice : public ::testing::Test {
protected:
    void SetUp() override {
        if (!captureFolder().empty())
            GTEST_SKIP() << "this run has a sound device";
        prepareSettings();
    }
    void TearDown() override {
        removeKeywhirlSettings();
        deleteRunValue();
    }
};

TEST_F(NoSoundDevice, ClicksAndBeatsAreSilentlyLeftOut) {
    writeSetting(L"enableKeyPressSound", L"TRUE");
    writeSetting(L"metronomeRunning", L"TRUE");
    writeSetting(L"metronomeInterval", L"250");
    KeywhirlProcess program(programFile());
    ASSERT_NE(program.mainWindow(), nullptr);
    pressFiveKeys(program.mainWindow());
    ::Sleep(700); // a few beats' time

    std::wstring text;
    EXPECT_EQ(findMessageBox(program.processId(), 0, text), nullptr) << "shown: " << text.c_str();
    EXPECT_FALSE(program.waitForExit(0)) << "the program ended";
    DWORD_PTR result = 0;
    EXPECT_NE(
        ::SendMessageTimeoutW(program.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0)
        << "the main window stopped answering";
    // The keys still reach the dispatcher and the monitors.
    EXPECT_TRUE(probe::typeText(program.mainWindow(), L"silent", 20));
    closeProgram(program);
}

// The onset counter on made-up captures, so that a count of the real
// program's sounds means what it says.
std::vector<char> floatBytes(const std::vector<float>& samples) {
    std::vector<char> bytes(samples.size() * 4);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

// A decaying 40 ms tick at 48 kHz stereo starting at each given millisecond.
std::vector<float> ticks(const std::vector<int>& startsMs, int totalMs) {
    std::vector<float> samples(static_cast<std::size_t>(totalMs) * 96, 0.0f);
    for (int startMs : startsMs)
        for (int i = 0; i < 1920; ++i) {
            float level = 0.7f * std::exp(-i / 200.0f) * (i % 8 < 4 ? 1 : -1);
            samples[(startMs * 48 + i) * 2] = level;
            samples[(startMs * 48 + i) * 2 + 1] = level;
        }
    return samples;
}

TEST(OnsetCount, CountsSoundsSeparatedBySilence) {
    std::vector<float> samples = decodeSamples(floatBytes(ticks({100, 250, 400, 550, 700}, 1000)));
    std::vector<std::size_t> onsets = findOnsets(samples);
    ASSERT_EQ(onsets.size(), 5u);
    EXPECT_NEAR(static_cast<double>(onsets[1] - onsets[0]), 150 * 96, 256);
}

TEST(OnsetCount, OverlappingOrSilentCapturesGiveNoExtraSounds) {
    EXPECT_EQ(findOnsets(decodeSamples(floatBytes(ticks({100, 110}, 400)))).size(), 1u);
    EXPECT_TRUE(findOnsets(decodeSamples(floatBytes(ticks({}, 400)))).empty());
    EXPECT_TRUE(findOnsets({}).empty());
}

TEST(OnsetCount, SixteenBitCapturesAreReadAsIntegers) {
    std::vector<char> bytes;
    for (int i = 0; i < 44100; ++i) {
        std::int16_t value = (i >= 4410 && i < 6174) ? (i % 8 < 4 ? 20000 : -20000) : 0;
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    }
    std::vector<float> samples = decodeSamples(bytes);
    ASSERT_EQ(samples.size(), 44100u);
    EXPECT_NEAR(samples[4410], 20000 / 32768.0, 1e-6);
    EXPECT_EQ(findOnsets(samples).size(), 1u);
}

} // namespace
} // namespace keywhirl::testing
