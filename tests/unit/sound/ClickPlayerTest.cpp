// tests/unit/sound/ClickPlayerTest.cpp
#include "sound/ClickPlayer.h"

#include "input/KeyRecord.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <atomic>

#include <cstring>
#include <vector>

namespace keywhirl {
namespace {

// Stands in for a DirectSound voice and writes down what is done to it.
class RecordingVoice {
public:
    struct Log {
        int made = 0;
        int alive = 0;
        int throwAtConstruction = 0; // 0: never
        int failLoadOfVoice = 0;     // 0: every load succeeds
        bool playSucceeds = true;
        std::vector<HWND> windows;
        std::vector<std::wstring> loadedPaths;
        std::vector<int> played; // voice ids, in order
    };
    static Log log;

    explicit RecordingVoice(HWND window) {
        if (log.made + 1 == log.throwAtConstruction) {
            ++log.made;
            throw TWAVDirectSound::InitializationError();
        }
        id = ++log.made;
        ++log.alive;
        log.windows.push_back(window);
    }
    ~RecordingVoice() { --log.alive; }
    bool loadFile(const wchar_t* path) {
        log.loadedPaths.push_back(path);
        return id != log.failLoadOfVoice;
    }
    bool play() {
        log.played.push_back(id);
        return log.playSucceeds;
    }

private:
    int id;
};
RecordingVoice::Log RecordingVoice::log;

using TestClickPlayer = BasicClickPlayer<RecordingVoice>;

KeyInfoWrapper keyEvent(UINT virtualKey, bool keyUp, bool repeat) {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.virtualKey = virtualKey;
    record.keyData = 1u | (static_cast<DWORD>(::MapVirtualKeyW(virtualKey, 0)) << 16);
    if (repeat)
        record.keyData |= 0x40000000u;
    if (keyUp)
        record.keyData |= 0xC0000000u;
    return KeyInfoWrapper(record);
}
KeyInfoWrapper press(UINT virtualKey = 'A') {
    return keyEvent(virtualKey, false, false);
}

class ClickPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingVoice::log = RecordingVoice::Log();
        Settings::instance()->enableKeyPressSound = true;
    }
    void TearDown() override { EXPECT_EQ(RecordingVoice::log.alive, 0) << "voices leaked"; }

    std::vector<int>& played() { return RecordingVoice::log.played; }

    testing::TestSettings settings;
    HWND window = reinterpret_cast<HWND>(0x1234);
};

TEST_F(ClickPlayerTest, InitLoadsTheClickBesideTheProgramIntoTenVoices) {
    TestClickPlayer player;
    EXPECT_FALSE(player.isReady());
    EXPECT_TRUE(player.init(window));
    EXPECT_TRUE(player.isReady());
    EXPECT_EQ(RecordingVoice::log.alive, 10);
    EXPECT_EQ(RecordingVoice::log.windows, std::vector<HWND>(10, window));
    EXPECT_EQ(RecordingVoice::log.loadedPaths,
              std::vector<std::wstring>(10, settings.folder().path() + L"\\Sounds\\Click.wav"));
    EXPECT_TRUE(played().empty()) << "loading plays nothing";
}

TEST_F(ClickPlayerTest, SilentUntilInitialised) {
    TestClickPlayer player;
    for (int i = 0; i < 3; ++i)
        player.handleKey(press());
    EXPECT_TRUE(played().empty());
    EXPECT_EQ(RecordingVoice::log.made, 0);
}

TEST_F(ClickPlayerTest, TwelveFastPressesCycleTheVoicesFromTheLastAdded) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    for (int i = 0; i < 12; ++i)
        player.handleKey(press());
    // The eleventh restarts the voice of the first, the twelfth that of the second.
    EXPECT_EQ(played(), (std::vector<int>{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}));
}

TEST_F(ClickPlayerTest, KeyUpAndAutomaticRepeatNeverClick) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    player.handleKey(keyEvent('A', true, false));
    player.handleKey(keyEvent('A', false, true));
    player.handleKey(keyEvent('A', false, true));
    player.handleKey(keyEvent('A', true, true));
    EXPECT_TRUE(played().empty());
    // Held: one click, then repeats, then the release.
    player.handleKey(press('B'));
    player.handleKey(keyEvent('B', false, true));
    player.handleKey(keyEvent('B', true, true));
    EXPECT_EQ(played(), std::vector<int>{10});
}

TEST_F(ClickPlayerTest, EveryKindOfKeyClicksOnItsFirstKeyDown) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    for (UINT key : {UINT('7'), UINT(VK_SPACE), UINT(VK_RETURN), UINT(VK_BACK), UINT(VK_SHIFT),
                     UINT(VK_F5), UINT(VK_LEFT), UINT(VK_DELETE)})
        player.handleKey(press(key));
    EXPECT_EQ(played().size(), 8u);
}

TEST_F(ClickPlayerTest, TheSettingIsReadAtEveryKey) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    std::atomic<bool>& enabled = Settings::instance()->enableKeyPressSound;
    enabled = false;
    player.handleKey(press());
    EXPECT_TRUE(played().empty());
    enabled = true;
    player.handleKey(press());
    enabled = false;
    player.handleKey(press());
    player.handleKey(press());
    enabled = true;
    player.handleKey(press());
    // A silenced key does not step the ring.
    EXPECT_EQ(played(), (std::vector<int>{10, 1}));
}

TEST_F(ClickPlayerTest, AFailedPlayStillStepsTheRing) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    RecordingVoice::log.playSucceeds = false;
    player.handleKey(press());
    player.handleKey(press());
    EXPECT_EQ(played(), (std::vector<int>{10, 1}));
}

TEST_F(ClickPlayerTest, AFailedLoadLeavesNoVoicesAndSilence) {
    RecordingVoice::log.failLoadOfVoice = 4;
    TestClickPlayer player;
    EXPECT_FALSE(player.init(window));
    EXPECT_FALSE(player.isReady());
    EXPECT_EQ(RecordingVoice::log.made, 4) << "no voice is made after the failed load";
    EXPECT_EQ(RecordingVoice::log.alive, 0);
    player.handleKey(press());
    EXPECT_TRUE(played().empty());
}

TEST_F(ClickPlayerTest, NoSoundDeviceLeavesNoVoicesAndSilence) {
    for (int throwing : {1, 6}) {
        SCOPED_TRACE(throwing);
        RecordingVoice::log = RecordingVoice::Log();
        RecordingVoice::log.throwAtConstruction = throwing;
        TestClickPlayer player;
        EXPECT_FALSE(player.init(window));
        EXPECT_FALSE(player.isReady());
        EXPECT_EQ(RecordingVoice::log.alive, 0) << "voices made before the failure are gone";
        player.handleKey(press());
        EXPECT_TRUE(played().empty());
    }
}

TEST_F(ClickPlayerTest, AFailedInitAfterASuccessfulOneSilencesThePlayer) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    RecordingVoice::log.throwAtConstruction = RecordingVoice::log.made + 3;
    EXPECT_FALSE(player.init(window));
    EXPECT_EQ(RecordingVoice::log.alive, 0);
    player.handleKey(press());
    EXPECT_TRUE(played().empty());
}

TEST_F(ClickPlayerTest, InitAgainReplacesTheVoices) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    ASSERT_TRUE(player.init(window));
    EXPECT_EQ(RecordingVoice::log.made, 20);
    EXPECT_EQ(RecordingVoice::log.alive, 10);
    player.handleKey(press());
    EXPECT_EQ(played(), std::vector<int>{20});
}

TEST_F(ClickPlayerTest, StopSilencesAndReleasesTheVoices) {
    {
        TestClickPlayer player;
        ASSERT_TRUE(player.init(window));
        player.handleKey(press());
        player.stop();
        EXPECT_FALSE(player.isReady());
        EXPECT_EQ(RecordingVoice::log.alive, 0);
        player.handleKey(press());
        EXPECT_EQ(played(), std::vector<int>{10});
        player.stop();
    }
    {
        TestClickPlayer player;
        ASSERT_TRUE(player.init(window));
    }
    EXPECT_EQ(RecordingVoice::log.alive, 0) << "the destructor stops the player";
}

// handleKey runs on the dispatcher thread, after init on the main thread.
TEST_F(ClickPlayerTest, ClicksFromAnotherThreadAfterInit) {
    TestClickPlayer player;
    ASSERT_TRUE(player.init(window));
    struct Presser {
        static DWORD WINAPI run(void* player) {
            for (int i = 0; i < 25; ++i)
                static_cast<TestClickPlayer*>(player)->handleKey(press());
            return 0;
        }
    };
    HANDLE thread = ::CreateThread(nullptr, 0, &Presser::run, &player, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    ::CloseHandle(thread);
    ASSERT_EQ(played().size(), 25u);
    for (std::size_t i = 0; i < played().size(); ++i)
        EXPECT_EQ(played()[i], i == 0 ? 10 : static_cast<int>((i - 1) % 10 + 1)) << i;
}

// The tray menu switches the click while the dispatcher delivers keys.
TEST_F(ClickPlayerTest, SwitchingOnAndOffWhileKeysArriveOnAnotherThread) {
    TestClickPlayer player;
    player.switchTo(false, window);
    player.handleKey(press());
    EXPECT_TRUE(played().empty()) << "off, there are no voices to play";
    EXPECT_EQ(RecordingVoice::log.made, 0) << "and none were made";

    std::atomic<bool> done{false};
    struct Presser {
        TestClickPlayer* player;
        std::atomic<bool>* done;
        static DWORD WINAPI run(void* self) {
            auto* presser = static_cast<Presser*>(self);
            while (!presser->done->load())
                presser->player->handleKey(press());
            return 0;
        }
    } presser{&player, &done};
    HANDLE thread = ::CreateThread(nullptr, 0, &Presser::run, &presser, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 200; ++i)
        player.switchTo(i % 2 == 0, window);
    done = true;
    ASSERT_EQ(::WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    ::CloseHandle(thread);
    EXPECT_EQ(RecordingVoice::log.alive, 0) << "the last switch was off";
    EXPECT_EQ(RecordingVoice::log.made, 1000) << "ten voices for each of the hundred switches on";
    for (int voice : played())
        ASSERT_TRUE(voice >= 1 && voice <= 1000) << voice;

    player.switchTo(true, window);
    const std::size_t before = played().size();
    player.handleKey(press());
    EXPECT_EQ(played().size(), before + 1) << "on again, it clicks";
    player.stop();
}

} // namespace
} // namespace keywhirl
