// tests/unit/sound/MetronomeTest.cpp
#include "sound/Metronome.h"

#include "WavBytes.h"
#include "settings/FileResources.h"
#include "settings/Settings.h"
#include "support/Threads.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"
#include "support/Waiting.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace keywhirl {
namespace {

using testing::Bytes;

// Counts beats instead of sounding them.
class CountingMetronome : public Metronome {
public:
    ~CountingMetronome() override { stopAndWait(); }
    // The fake clock does not move while the thread sleeps: it looks again
    // after a millisecond, and notes how long it meant to sleep.
    bool suspend(DWORD timeout) override {
        requestedSleep = timeout;
        return Metronome::suspend(timeout < 1 ? timeout : 1);
    }
    std::atomic<int> beats{0};
    std::atomic<DWORD> requestedSleep{0};
    bool silent = false;         // as without a sound device
    std::vector<char> lastSound; // written by the thread, read after it stops

protected:
    bool playSound(const std::vector<char>& wav) override {
        lastSound = wav;
        ++beats;
        return !silent;
    }
};

using testing::eventually;

class MetronomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CreateDirectoryW((settings.folder().path() + L"\\Sounds").c_str(), nullptr);
        useSound(testing::plainWav(100));
        Settings::instance()->metronomeInterval = 500;
        Settings::instance()->metronomeRunning = true;
    }
    void TearDown() override { FileResources::destroyInstance(); }

    // What FileResources reads on its next first use; empty: no file.
    void useSound(const Bytes& bytes) {
        std::wstring path = settings.folder().path() + L"\\Sounds\\Metronome.wav";
        ::DeleteFileW(path.c_str());
        if (!bytes.empty()) {
            ASSERT_TRUE(testing::writeFile(path, bytes));
        }
        FileResources::destroyInstance();
    }

    testing::TestSettings settings;
    testing::FakeClock clock{1000};
};

TEST_F(MetronomeTest, BeatsOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
    CountingMetronome metronome;
    clock.advance(500);
    metronome.process();
    EXPECT_EQ(metronome.beats, 0);
    clock.advance(1);
    metronome.process();
    EXPECT_EQ(metronome.beats, 1);
    metronome.process();
    EXPECT_EQ(metronome.beats, 1) << "the interval starts again at the beat";
    clock.advance(501);
    metronome.process();
    EXPECT_EQ(metronome.beats, 2);
}

// Never more than twenty beats a second, and 0 from the file is the
// default; between beats the thread sleeps until the next one. A beat that
// cannot sound (no sound device) is tried again only after a while.
TEST_F(MetronomeTest, SleepsUntilTheNextBeatNoSoonerThanFiftyMilliseconds) {
    const struct {
        unsigned setting;
        bool silent;
        DWORD beatInterval;
    } cases[] = {{0, false, 500},       {1, false, 50},
                 {49, false, 50},       {50, false, 50},
                 {51, false, 51},       {500, false, 500},
                 {60000, false, 60000}, {1, true, kRetryAfterSilentBeat},
                 {60000, true, 60000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.setting << (c.silent ? " silent" : ""));
        Settings::instance()->metronomeInterval = c.setting;
        CountingMetronome metronome;
        metronome.silent = c.silent;
        const DWORD set = beatIntervalFor(c.setting);
        clock.advance(set);
        metronome.process();
        EXPECT_EQ(metronome.beats, 0);
        EXPECT_EQ(1u, metronome.requestedSleep);
        clock.advance(1);
        metronome.process();
        EXPECT_EQ(metronome.beats, 1);
        EXPECT_EQ(c.beatInterval + 1, metronome.requestedSleep);
        // Sounding again, the set interval counts once more.
        metronome.silent = false;
        clock.advance(c.beatInterval + 1);
        metronome.process();
        EXPECT_EQ(metronome.beats, 2);
        EXPECT_EQ(set + 1, metronome.requestedSleep);
    }
}

TEST_F(MetronomeTest, PlaysTheMetronomeFileBytes) {
    Bytes sound =
        testing::riffWave({{"fmt ", testing::pcmFormat()}, {"data", testing::tickSamples(37)}});
    useSound(sound);
    CountingMetronome metronome;
    clock.advance(501);
    metronome.process();
    ASSERT_EQ(metronome.beats, 1);
    EXPECT_EQ(metronome.lastSound, std::vector<char>(sound.begin(), sound.end()));
}

TEST_F(MetronomeTest, SilentWhileOffButItsClockKeepsRunning) {
    // check() alone: a switched-off poll puts the calling thread to sleep.
    Settings::instance()->metronomeRunning = false;
    CountingMetronome metronome;
    for (int i = 0; i < 5; ++i) {
        clock.advance(501);
        metronome.check();
    }
    EXPECT_EQ(metronome.beats, 0);
    // Switched on 300 ms into an interval: the beat comes when that one ends.
    clock.advance(300);
    metronome.check();
    Settings::instance()->metronomeRunning = true;
    metronome.check();
    EXPECT_EQ(metronome.beats, 0);
    clock.advance(201);
    metronome.check();
    EXPECT_EQ(metronome.beats, 1);
    // And off again at once.
    Settings::instance()->metronomeRunning = false;
    clock.advance(501);
    metronome.check();
    EXPECT_EQ(metronome.beats, 1);
}

TEST_F(MetronomeTest, ANewIntervalAppliesFromTheNextBeat) {
    CountingMetronome metronome;
    clock.advance(501);
    metronome.process();
    ASSERT_EQ(metronome.beats, 1);

    Settings::instance()->metronomeInterval = 1000;
    clock.advance(501);
    metronome.process();
    EXPECT_EQ(metronome.beats, 1);
    clock.advance(500);
    metronome.process();
    EXPECT_EQ(metronome.beats, 2);

    Settings::instance()->metronomeInterval = 200;
    clock.advance(201);
    metronome.process();
    EXPECT_EQ(metronome.beats, 3);
}

TEST_F(MetronomeTest, MissingOrDamagedSoundIsNeverPlayed) {
    Bytes good = testing::plainWav(100);
    Bytes truncated(good.begin(), good.end() - 10);
    Bytes lyingData = good;
    testing::setLe32(lyingData, 40, 0x7FFFFFFF);
    Bytes dataFirst =
        testing::riffWave({{"data", testing::tickSamples(10)}, {"fmt ", testing::pcmFormat()}});
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {{"missing file", {}},
                          {"truncated", truncated},
                          {"data size past the end", lyingData},
                          {"data before fmt", dataFirst},
                          {"not a WAV file", Bytes(200, 'x')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useSound(c.bytes);
        CountingMetronome metronome;
        clock.advance(501);
        metronome.process();
        EXPECT_EQ(metronome.beats, 0);
        clock.advance(501);
        metronome.process();
        EXPECT_EQ(metronome.beats, 0) << "keeps polling, silently";
    }
    useSound(good);
    CountingMetronome metronome;
    clock.advance(501);
    metronome.process();
    EXPECT_EQ(metronome.beats, 1);
}

TEST_F(MetronomeTest, ItsOwnThreadBeatsAtEveryExpiryUntilStopped) {
    CountingMetronome metronome;
    metronome.start();
    metronome.setPriority(THREAD_PRIORITY_TIME_CRITICAL);
    ::Sleep(20);
    EXPECT_EQ(metronome.beats, 0) << "the fake clock has not moved";
    for (int beat = 1; beat <= 3; ++beat) {
        clock.advance(501);
        ASSERT_TRUE(eventually([&] { return metronome.beats == beat; }, 5000)) << beat;
    }
    // Switched off, the thread ends instead of polling; switched on and
    // woken, a new one beats again.
    const int withThread = testing::threadsOfThisProcess();
    Settings::instance()->metronomeRunning = false;
    clock.advance(501);
    ASSERT_TRUE(eventually([&] { return !metronome.isRunning(); }));
    EXPECT_TRUE(eventually([&] { return testing::threadsOfThisProcess() == withThread - 1; }));
    clock.advance(501);
    ::Sleep(30);
    EXPECT_EQ(metronome.beats, 3);
    Settings::instance()->metronomeRunning = true;
    metronome.wake();
    clock.advance(501);
    ASSERT_TRUE(eventually([&] { return metronome.beats == 4; }));
    metronome.stopAndWait();
    EXPECT_EQ(metronome.beats, 4);
    Settings::instance()->metronomeRunning = true;
    clock.advance(501);
    ::Sleep(30);
    EXPECT_EQ(metronome.beats, 4) << "no beat after the thread has stopped";
}

TEST_F(MetronomeTest, OffAtTheStartItHasNoThreadUntilSwitchedOn) {
    Settings::instance()->metronomeRunning = false;
    CountingMetronome metronome;
    const int before = testing::threadsOfThisProcess();
    metronome.start();
    metronome.wake(); // woken while still off: nothing to start
    EXPECT_FALSE(metronome.isRunning());
    EXPECT_EQ(testing::threadsOfThisProcess(), before);

    Settings::instance()->metronomeRunning = true;
    metronome.wake();
    EXPECT_TRUE(metronome.isRunning());
    clock.advance(501);
    EXPECT_TRUE(eventually([&] { return metronome.beats == 1; }));
    metronome.stopNow();
    metronome.wake();
    EXPECT_FALSE(metronome.isRunning()) << "no new thread after the stop";
}

// A beat that lasts until it is cut off, like a very long metronome sound.
class EndlessBeatMetronome : public Metronome {
public:
    ~EndlessBeatMetronome() override { stopNow(); }
    std::atomic<bool> playing{false};
    std::atomic<int> cutOff{0};

protected:
    bool playSound(const std::vector<char>&) override {
        playing = true;
        ::WaitForSingleObject(cut.get(), INFINITE);
        return true;
    }
    void stopSound() override {
        ++cutOff;
        ::SetEvent(cut.get());
    }

private:
    utils::UniqueHandle cut{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TEST_F(MetronomeTest, StoppingCutsOffABeatInsteadOfWaitingForIt) {
    EndlessBeatMetronome metronome;
    metronome.start();
    clock.advance(501);
    ASSERT_TRUE(eventually([&] { return metronome.playing.load(); }));
    // Without the cut this would wait for ever.
    metronome.stopNow();
    EXPECT_TRUE(metronome.isStopped());
    EXPECT_EQ(metronome.cutOff, 1);
}

// The real PlaySoundW, synchronous: with or without a sound device the beat
// comes back.
TEST_F(MetronomeTest, RealBeatReturnsWithOrWithoutASoundDevice) {
    Metronome metronome;
    clock.advance(501);
    metronome.process();
    SUCCEED();
}

} // namespace
} // namespace keywhirl
