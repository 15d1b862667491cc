// tests/unit/sound/DirectSoundTest.cpp - the real voices, on whatever sound the machine has.
#include "sound/ClickPlayer.h"
#include "sound/TWAVDirectSound.h"

#include "WavBytes.h"
#include "input/KeyRecord.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

namespace keywhirl {
namespace {

using testing::Bytes;

static_assert(std::is_base_of<std::exception, TWAVDirectSound::InitializationError>::value,
              "callers catch the standard exception type");

KeyInfoWrapper press() {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = 'A';
    record.keyData = 1u | (30u << 16);
    return KeyInfoWrapper(record);
}

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ::CreateWindowExW(0, L"STATIC", L"sound test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ::CreateDirectoryW(sounds().c_str(), nullptr);
        Settings::instance()->enableKeyPressSound = true;
    }
    void TearDown() override { ::DestroyWindow(window); }

    std::wstring sounds() const { return settings.folder().path() + L"\\Sounds"; }
    std::wstring writeSound(const std::wstring& name, const Bytes& bytes) {
        std::wstring path = sounds() + L"\\" + name;
        EXPECT_TRUE(testing::writeFile(path, bytes));
        return path;
    }

    // Whether this machine has a device; the probe's voice closes it again.
    bool haveDevice() {
        try {
            TWAVDirectSound probe(window);
            return true;
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), "DirectSound initialization error!");
            return false;
        }
    }

    testing::TestSettings settings;
    HWND window = nullptr;
};

TEST_F(DirectSoundTest, TheErrorCarriesItsText) {
    TWAVDirectSound::InitializationError error;
    const std::exception& general = error;
    EXPECT_STREQ(general.what(), "DirectSound initialization error!");
}

TEST_F(DirectSoundTest, TheProgramsClickPlayerStartsSilent) {
    EXPECT_EQ(&clickPlayer(), &clickPlayer());
    EXPECT_FALSE(clickPlayer().isReady());
}

TEST_F(DirectSoundTest, WithoutADeviceTheClickPlayerStaysSilent) {
    if (haveDevice())
        GTEST_SKIP() << "this machine has a sound device";
    writeSound(L"Click.wav", testing::plainWav());
    ClickPlayer player;
    EXPECT_FALSE(player.init(window));
    EXPECT_FALSE(player.isReady());
    player.handleKey(press());
    player.stop();
}

TEST_F(DirectSoundTest, AVoiceLoadsWaveFilesAndRestartsOnEveryPlay) {
    if (!haveDevice())
        GTEST_SKIP() << "no sound device (the silent path is tested instead)";
    TWAVDirectSound voice(window);
    EXPECT_FALSE(voice.play()) << "nothing loaded yet";
    EXPECT_TRUE(voice.loadFile(writeSound(L"plain.wav", testing::plainWav()).c_str()));
    EXPECT_TRUE(voice.play());
    EXPECT_TRUE(voice.play()) << "a playing voice starts over";

    const struct {
        const wchar_t* name;
        Bytes bytes;
    } good[] = {
        {L"data-first.wav",
         testing::riffWave({{"data", testing::tickSamples()}, {"fmt ", testing::pcmFormat()}})},
        {L"odd-chunk.wav", testing::riffWave({{"fmt ", testing::pcmFormat()},
                                              {"LIST", Bytes(5, 'i')},
                                              {"data", testing::tickSamples()}})},
        {L"format-ex.wav",
         testing::riffWave({{"fmt ", testing::pcmFormat(18)}, {"data", testing::tickSamples()}})},
    };
    for (const auto& file : good) {
        TWAVDirectSound other(window);
        EXPECT_TRUE(other.loadFile(writeSound(file.name, file.bytes).c_str()))
            << std::string(file.name, file.name + wcslen(file.name));
        EXPECT_TRUE(other.play());
    }
}

TEST_F(DirectSoundTest, AVoiceRefusesMissingAndMalformedFiles) {
    if (!haveDevice())
        GTEST_SKIP() << "no sound device";
    TWAVDirectSound voice(window);
    EXPECT_FALSE(voice.loadFile((sounds() + L"\\missing.wav").c_str()));
    Bytes twelve = testing::riffWave({{"fmt ", Bytes(12, 1)}, {"data", testing::tickSamples()}});
    EXPECT_FALSE(voice.loadFile(writeSound(L"twelve.wav", twelve).c_str()));
    Bytes cut = testing::plainWav();
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(voice.loadFile(writeSound(L"cut.wav", cut).c_str()));
    EXPECT_FALSE(voice.loadFile(writeSound(L"empty.wav", Bytes()).c_str()));
    EXPECT_FALSE(voice.play());

    // A failed second load leaves no stale sound behind.
    EXPECT_TRUE(voice.loadFile(writeSound(L"plain.wav", testing::plainWav()).c_str()));
    EXPECT_FALSE(voice.loadFile(writeSound(L"cut.wav", cut).c_str()));
    EXPECT_FALSE(voice.play());
}

TEST_F(DirectSoundTest, WithADeviceTheClickPlayerNeedsItsFile) {
    if (!haveDevice())
        GTEST_SKIP() << "no sound device";
    ClickPlayer player;
    EXPECT_FALSE(player.init(window)) << "no Click.wav yet";
    EXPECT_FALSE(player.isReady());

    writeSound(L"Click.wav", testing::plainWav());
    EXPECT_TRUE(player.init(window));
    for (int i = 0; i < 12; ++i)
        player.handleKey(press());
    player.stop();
    EXPECT_FALSE(player.isReady());
}

TEST_F(DirectSoundTest, TheDeviceIsOpenOnlyWhileAVoiceLives) {
    if (!haveDevice())
        GTEST_SKIP() << "no sound device";
    EXPECT_FALSE(TWAVDirectSound::hasDevice()) << "closed with the probe's voice";
    {
        TWAVDirectSound first(window);
        EXPECT_TRUE(TWAVDirectSound::hasDevice());
        { TWAVDirectSound second(window); }
        EXPECT_TRUE(TWAVDirectSound::hasDevice()) << "the first voice still uses it";
        EXPECT_TRUE(first.loadFile(writeSound(L"plain.wav", testing::plainWav()).c_str()));
        EXPECT_TRUE(first.play());
    }
    EXPECT_FALSE(TWAVDirectSound::hasDevice()) << "closed with the last voice";

    writeSound(L"Click.wav", testing::plainWav());
    ClickPlayer player;
    player.switchTo(true, window);
    EXPECT_TRUE(TWAVDirectSound::hasDevice());
    player.switchTo(false, window);
    EXPECT_FALSE(TWAVDirectSound::hasDevice()) << "the click switched off closes the device";
    player.switchTo(true, window);
    EXPECT_TRUE(player.isReady()) << "and switched on again, opens it anew";
    player.stop();
}

} // namespace
} // namespace keywhirl
