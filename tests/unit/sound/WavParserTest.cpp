// tests/unit/sound/WavParserTest.cpp
#include "sound/WavParser.h"

#include "WavBytes.h"
#include "support/Mutation.h"
#include "settings/Paths.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cstring>

namespace keywhirl {
namespace {

using testing::Bytes;
using testing::Chunk;
using testing::pcmFormat;
using testing::plainWav;
using testing::riffWave;
using testing::tickSamples;

std::optional<WavLayout> parse(const Bytes& bytes) {
    return parseWav(bytes.data(), bytes.size());
}

Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + offset, bytes.begin() + offset + size);
}

TEST(WavParser, PlainFileGivesItsFormatAndSamples) {
    Bytes samples = tickSamples(100);
    Bytes file = riffWave({{"fmt ", pcmFormat()}, {"data", samples}});
    auto layout = parse(file);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->formatOffset, 20u);
    EXPECT_EQ(layout->formatSize, 16u);
    EXPECT_EQ(layout->dataOffset, 44u);
    EXPECT_EQ(slice(file, layout->dataOffset, layout->dataSize), samples);
}

TEST(WavParser, ChunkOrderAndSkippedChunks) {
    Bytes samples = tickSamples(50);
    Bytes format = pcmFormat();
    struct Case {
        const char* name;
        std::vector<Chunk> chunks;
    };
    const Case cases[] = {
        {"data before fmt", {{"data", samples}, {"fmt ", format}}},
        {"odd-sized chunk before data: its fill byte is skipped",
         {{"fmt ", format}, {"LIST", Bytes(7, 'x')}, {"data", samples}}},
        {"odd-sized chunk before fmt",
         {{"junk", Bytes(1, 0)}, {"fmt ", format}, {"data", samples}}},
        {"odd-sized data first, fmt after its fill byte",
         {{"data", Bytes(samples.begin(), samples.end() - 1)}, {"fmt ", format}}},
        {"unknown chunks around",
         {{"bext", Bytes(10, 1)},
          {"fmt ", format},
          {"fact", Bytes(4, 2)},
          {"data", samples},
          {"LIST", Bytes(3, 3)}}},
        {"a second fmt and data are ignored",
         {{"fmt ", format}, {"data", samples}, {"fmt ", Bytes(2, 0)}, {"data", Bytes(9, 9)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = riffWave(c.chunks);
        auto layout = parse(file);
        ASSERT_TRUE(layout);
        EXPECT_EQ(slice(file, layout->formatOffset, layout->formatSize), format);
        const Bytes& expected = c.chunks[0].id == "data" ? c.chunks[0].content : samples;
        EXPECT_EQ(slice(file, layout->dataOffset, layout->dataSize), expected);
    }
}

TEST(WavParser, FormatChunkSizes) {
    for (std::size_t size : {14u, 16u, 18u, 40u}) {
        SCOPED_TRACE(size);
        auto layout = parse(riffWave({{"fmt ", pcmFormat(size)}, {"data", tickSamples(8)}}));
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->formatSize, size);
    }
    for (std::size_t size : {0u, 12u, 13u}) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(parse(riffWave({{"fmt ", Bytes(size, 1)}, {"data", tickSamples(8)}})));
        // Only the first "fmt " counts, even when a good one follows.
        EXPECT_FALSE(parse(
            riffWave({{"fmt ", Bytes(size, 1)}, {"fmt ", pcmFormat()}, {"data", tickSamples(8)}})));
    }
}

TEST(WavParser, RejectsWhatIsNotAWaveFile) {
    Bytes good = plainWav(20);
    struct Case {
        const char* name;
        Bytes bytes;
    };
    auto withId = [&good](std::size_t offset, const char* id) {
        Bytes changed = good;
        for (std::size_t i = 0; i < 4; ++i)
            changed[offset + i] = static_cast<unsigned char>(id[i]);
        return changed;
    };
    Bytes notRiff = withId(0, "RIFX");
    Bytes notWave = withId(8, "AVI ");
    Bytes lowerCase = withId(8, "wave");
    const Case cases[] = {
        {"empty file", {}},
        {"truncated header", slice(good, 0, 11)},
        {"header only", slice(good, 0, 12)},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"lower-case type", lowerCase},
        {"no data chunk", riffWave({{"fmt ", pcmFormat()}, {"LIST", Bytes(4, 0)}})},
        {"no fmt chunk", riffWave({{"data", tickSamples(4)}})},
        {"cut inside the fmt header", slice(good, 0, 16)},
        {"cut inside the fmt content", slice(good, 0, 30)},
        {"cut inside the data header", slice(good, 0, 40)},
        {"cut one byte short of the data's end", slice(good, 0, good.size() - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(parse(c.bytes));
    }
}

TEST(WavParser, NeverTrustsSizesThatRunPastTheEnd) {
    Bytes good = plainWav(20);
    const std::size_t dataSizeField = 40;
    const std::size_t formatSizeField = 16;

    Bytes dataTooLong = good;
    testing::setLe32(dataTooLong, dataSizeField, 41);
    EXPECT_FALSE(parse(dataTooLong)) << "data one byte past the end";
    for (std::uint32_t huge : {0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFF8u}) {
        Bytes bad = good;
        testing::setLe32(bad, dataSizeField, huge);
        EXPECT_FALSE(parse(bad)) << huge;
        bad = good;
        testing::setLe32(bad, formatSizeField, huge);
        EXPECT_FALSE(parse(bad)) << "fmt size " << huge;
    }
    // A skipped chunk whose size would wrap a 32-bit offset around to "data".
    Bytes wrapping =
        riffWave({{"fmt ", pcmFormat()}, {"LIST", Bytes(4, 0)}, {"data", tickSamples(4)}});
    testing::setLe32(wrapping, 40, 0xFFFFFFF8u);
    EXPECT_FALSE(parse(wrapping));
}

TEST(WavParser, RiffLengthBoundsTheWalkButNeverWidensIt) {
    Bytes samples = tickSamples(20);
    // Claims more than the file holds: the file's end bounds the walk.
    Bytes longer = riffWave({{"fmt ", pcmFormat()}, {"data", samples}}, 0xFFFFFFF0);
    auto layout = parse(longer);
    ASSERT_TRUE(layout);
    EXPECT_EQ(slice(longer, layout->dataOffset, layout->dataSize), samples);
    EXPECT_FALSE(parse(riffWave({{"fmt ", pcmFormat()}, {"LIST", Bytes(2, 0)}}, 0xFFFFFFF0)));

    // Ends before "data" starts: no data.
    Bytes shorter = riffWave({{"fmt ", pcmFormat()}, {"data", samples}}, 4 + 24);
    EXPECT_FALSE(parse(shorter));
    // Ends inside "data", after its start: the chunk is taken whole.
    Bytes insideData = riffWave({{"fmt ", pcmFormat()}, {"data", samples}}, 4 + 24 + 1);
    ASSERT_TRUE(parse(insideData));
    EXPECT_EQ(parse(insideData)->dataSize, samples.size());
    // A RIFF length of 0 leaves no chunks at all.
    EXPECT_FALSE(parse(riffWave({{"fmt ", pcmFormat()}, {"data", samples}}, 0)));
}

TEST(WavParser, OddDataChunkAtTheVeryEndNeedsNoFillByte) {
    Bytes file = riffWave({{"fmt ", pcmFormat()}, {"data", Bytes(5, 7)}});
    file.pop_back();
    auto layout = parse(file);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataOffset + layout->dataSize, file.size());
}

TEST(WaveFormat, PaddedToAWholeWaveFormatEx) {
    // WAVEFORMAT without wBitsPerSample and cbSize: zero-filled.
    Bytes fourteen = pcmFormat(14);
    Bytes made = makeWaveFormat(fourteen.data(), fourteen.size());
    ASSERT_EQ(made.size(), 18u);
    EXPECT_TRUE(std::equal(fourteen.begin(), fourteen.end(), made.begin()));
    EXPECT_EQ(made[14] | made[15] | made[16] | made[17], 0);

    // PCM ignores cbSize, so a wrong one is cleared, not trusted.
    Bytes pcm = pcmFormat(18);
    pcm[16] = 0xFF;
    pcm[17] = 0xFF;
    made = makeWaveFormat(pcm.data(), pcm.size());
    ASSERT_EQ(made.size(), 18u);
    EXPECT_EQ(made[16] | made[17], 0);
}

TEST(WaveFormat, OtherFormatsMustHoldTheExtraBytesTheyClaim) {
    Bytes extensible = pcmFormat(40);
    extensible[0] = 0xFE; // WAVE_FORMAT_EXTENSIBLE, cbSize 22
    extensible[1] = 0xFF;
    EXPECT_EQ(makeWaveFormat(extensible.data(), extensible.size()), extensible);

    Bytes claimsMore = extensible;
    claimsMore[16] = 23;
    EXPECT_TRUE(makeWaveFormat(claimsMore.data(), claimsMore.size()).empty());

    Bytes sixteen = pcmFormat(16);
    sixteen[0] = 3; // IEEE float, no cbSize in the chunk: reads as 0
    Bytes made = makeWaveFormat(sixteen.data(), sixteen.size());
    ASSERT_EQ(made.size(), 18u);
    EXPECT_EQ(made[16] | made[17], 0);

    EXPECT_TRUE(makeWaveFormat(sixteen.data(), 13).empty());
}

TEST(SelfContainedWav, OnlyWhatAPointerOnlyPlayerCanWalkSafely) {
    Bytes samples = tickSamples(20);
    auto selfContained = [](const Bytes& b) { return isSelfContainedWav(b.data(), b.size()); };
    EXPECT_TRUE(selfContained(plainWav(20)));
    EXPECT_TRUE(selfContained(riffWave(
        {{"fmt ", pcmFormat()}, {"LIST", Bytes(3, 0)}, {"data", samples}, {"LIST", Bytes(4, 0)}})));
    EXPECT_FALSE(selfContained({}));
    EXPECT_FALSE(selfContained(riffWave({{"data", samples}, {"fmt ", pcmFormat()}})))
        << "searching for data after fmt would run off the end";
    EXPECT_FALSE(selfContained(riffWave({{"fmt ", pcmFormat()}, {"data", samples}}, 0x10000)))
        << "a RIFF length past the end";
    Bytes truncated = plainWav(20);
    truncated.resize(truncated.size() - 2);
    EXPECT_FALSE(selfContained(truncated));
    EXPECT_FALSE(selfContained(riffWave({{"fmt ", pcmFormat()}, {"data", Bytes(2, 0)}})))
        << "the header search reads four bytes past a data header";
}

TEST(PlayableFormat, OnlyPcmWhoseFieldsAgreeWithEachOther) {
    // Fields of a 16-byte "fmt " chunk, in file order.
    struct Format {
        const char* name;
        unsigned tag, channels;
        std::uint32_t rate, byteRate;
        unsigned blockAlign, bits;
        bool playable;
    };
    const Format formats[] = {
        {"16-bit mono", 1, 1, 22050, 44100, 2, 16, true},
        {"8-bit stereo", 1, 2, 44100, 88200, 2, 8, true},
        {"16-bit stereo at 192 kHz", 1, 2, 192000, 768000, 4, 16, true},
        {"block size 0 (4-bit ADPCM)", 17, 1, 22050, 11100, 0, 4, false},
        {"PCM with block size 0", 1, 1, 22050, 0, 0, 16, false},
        {"7-bit PCM", 1, 1, 22050, 22050, 1, 7, false},
        {"200 channels", 1, 200, 22050, 8820000, 400, 16, false},
        {"no channels", 1, 0, 22050, 0, 0, 16, false},
        {"24-bit", 1, 1, 22050, 66150, 3, 24, false},
        {"block size that does not follow", 1, 2, 22050, 88200, 2, 16, false},
        {"byte rate that does not follow", 1, 1, 22050, 22050, 2, 16, false},
        {"rate 0", 1, 1, 0, 0, 2, 16, false},
        {"rate 1 MHz", 1, 1, 1000000, 2000000, 2, 16, false},
        {"IEEE float", 3, 1, 22050, 88200, 4, 32, false},
    };
    for (const Format& f : formats) {
        SCOPED_TRACE(f.name);
        Bytes format;
        testing::putLe16(format, f.tag);
        testing::putLe16(format, f.channels);
        testing::putLe32(format, f.rate);
        testing::putLe32(format, f.byteRate);
        testing::putLe16(format, f.blockAlign);
        testing::putLe16(format, f.bits);
        EXPECT_EQ(isPlayablePcmFormat(format.data(), format.size()), f.playable);
        Bytes file = riffWave({{"fmt ", format}, {"data", tickSamples(8)}});
        EXPECT_EQ(isSelfContainedWav(file.data(), file.size()), f.playable)
            << "the pointer-only player gets the same verdict";
    }
    Bytes fourteen = pcmFormat(14);
    EXPECT_FALSE(isPlayablePcmFormat(fourteen.data(), fourteen.size())) << "no bits per sample";
}

// ---- Mutation fuzzing -------------------------------------------------

using testing::GuardedInput;
using testing::mutate;
using testing::Random;

struct FuzzTally {
    int runs = 0;
    int accepted = 0;
    int selfContained = 0;
};

// Every accepted result must lie inside the input; the guard page catches
// any read past it.
void fuzz(const Bytes& seed, int runs, std::uint32_t randomSeed, GuardedInput& input,
          FuzzTally& tally) {
    Random random(randomSeed);
    for (int run = 0; run < runs; ++run) {
        Bytes bytes = seed;
        std::size_t rounds = 1 + random.below(4);
        for (std::size_t i = 0; i < rounds; ++i)
            mutate(bytes, random);
        const unsigned char* placed = input.place(bytes);
        ++tally.runs;

        std::optional<WavLayout> layout = parseWav(placed, bytes.size());
        bool selfContained = isSelfContainedWav(placed, bytes.size());
        if (selfContained)
            ++tally.selfContained;
        if (!layout) {
            if (selfContained)
                FAIL() << "self-contained but not parsed, run " << run;
            continue;
        }
        ++tally.accepted;
        if (layout->formatSize < 14 || layout->formatOffset < 20 ||
            layout->formatOffset + layout->formatSize > bytes.size() || layout->dataOffset < 20 ||
            layout->dataOffset > bytes.size() ||
            layout->dataSize > bytes.size() - layout->dataOffset ||
            std::memcmp(placed + layout->formatOffset - 8, "fmt ", 4) != 0 ||
            std::memcmp(placed + layout->dataOffset - 8, "data", 4) != 0) {
            FAIL() << "accepted layout outside the input, run " << run << ": fmt "
                   << layout->formatOffset << "+" << layout->formatSize << ", data "
                   << layout->dataOffset << "+" << layout->dataSize << " of " << bytes.size();
        }
        // The format the buffer would be described with, read from the
        // guarded copy as the player reads it from the file bytes.
        Bytes format = makeWaveFormat(placed + layout->formatOffset, layout->formatSize);
        if (!format.empty() && format.size() < 18)
            FAIL() << "format shorter than a WAVEFORMATEX, run " << run;
    }
}

TEST(WavParserFuzz, MutatedFilesNeverCrashOrReadPastTheirEnd) {
    GuardedInput input;
    ASSERT_TRUE(input.ready());
    FuzzTally tally;

    const Bytes seeds[] = {
        plainWav(40),
        riffWave({{"data", tickSamples(30)}, {"fmt ", pcmFormat(18)}}),
        riffWave({{"LIST", Bytes(7, 'a')}, {"fmt ", pcmFormat(40)}, {"data", Bytes(31, 1)}}),
        riffWave({{"fmt ", pcmFormat(14)}, {"fact", Bytes(4, 0)}, {"data", tickSamples(10)}}),
    };
    std::uint32_t randomSeed = 0x2545F491;
    for (const Bytes& seed : seeds) {
        fuzz(seed, 30000, randomSeed++, input, tally);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_GE(tally.runs, 100000);
    // Both outcomes must be well exercised, or the run proves little.
    EXPECT_GT(tally.accepted, tally.runs / 20);
    EXPECT_GT(tally.runs - tally.accepted, tally.runs / 5);
    EXPECT_GT(tally.selfContained, 1000);
    std::printf("%d mutated inputs: %d accepted, %d self-contained\n", tally.runs, tally.accepted,
                tally.selfContained);
}

TEST(WavParserFuzz, ShippedSoundsParseAndSurviveMutation) {
    GuardedInput input;
    ASSERT_TRUE(input.ready());
    int shipped = 0;
    for (const wchar_t* name : {L"Click.wav", L"Metronome.wav"}) {
        std::vector<char> file;
        if (readFileBytes(testing::sourceFolder() + L"\\data\\Sounds\\" + name, file) != 0)
            continue;
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        ++shipped;
        Bytes bytes(file.begin(), file.end());
        EXPECT_TRUE(isSelfContainedWav(bytes.data(), bytes.size()))
            << "the shipped sounds must play from memory and in a voice";
        FuzzTally tally;
        fuzz(bytes, 20000, 0x9E3779B9u + shipped, input, tally);
        EXPECT_GT(tally.accepted, 0);
    }
    if (shipped == 0)
        GTEST_SKIP() << "no sound files in data/Sounds";
}

} // namespace
} // namespace keywhirl
