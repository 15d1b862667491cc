// tests/unit/resources/SoundFileTest.cpp - the shipped click and metronome
// sounds: their format, length and level.
#include "ResourceData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

struct Sound {
    WORD format = 0, channels = 0, bits = 0;
    DWORD rate = 0;
    std::vector<std::int16_t> samples;
};

// Reads a canonical RIFF/WAVE file; ADD_FAILURE on anything unexpected.
Sound readSound(const std::wstring& path) {
    Sound sound;
    std::vector<unsigned char> bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        unsigned char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(file);
    }
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        ADD_FAILURE() << "not a WAVE file";
        return sound;
    }
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        DWORD size;
        std::memcpy(&size, bytes.data() + pos + 4, 4);
        const unsigned char* body = bytes.data() + pos + 8;
        if (pos + 8 + size > bytes.size()) {
            ADD_FAILURE() << "a chunk runs past the end of the file";
            return sound;
        }
        if (std::memcmp(bytes.data() + pos, "fmt ", 4) == 0 && size >= 16) {
            std::memcpy(&sound.format, body, 2);
            std::memcpy(&sound.channels, body + 2, 2);
            std::memcpy(&sound.rate, body + 4, 4);
            std::memcpy(&sound.bits, body + 14, 2);
        } else if (std::memcmp(bytes.data() + pos, "data", 4) == 0) {
            sound.samples.resize(size / 2);
            std::memcpy(sound.samples.data(), body, sound.samples.size() * 2);
        }
        pos += 8 + size + (size & 1);
    }
    return sound;
}

void expectCleanSound(const wchar_t* name, double minMs, double maxMs) {
    SCOPED_TRACE(std::string(name, name + std::wcslen(name)));
    Sound sound = readSound(testing::outputFolder() + L"Sounds/" + name);
    EXPECT_EQ(sound.format, WAVE_FORMAT_PCM);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.rate, 44100u);
    EXPECT_EQ(sound.bits, 16);
    ASSERT_FALSE(sound.samples.empty());

    double ms = 1000.0 * sound.samples.size() / 44100.0;
    EXPECT_GE(ms, minMs);
    EXPECT_LE(ms, maxMs);

    int peak = 0;
    long long sum = 0;
    for (std::int16_t s : sound.samples) {
        peak = std::max(peak, std::abs(int(s)));
        sum += s;
    }
    EXPECT_LT(peak, 32000) << "clipped";
    EXPECT_GT(peak, 8000) << "too quiet to hear over typing";
    EXPECT_LT(std::abs(double(sum) / sound.samples.size()), 30.0) << "a DC offset";
    // faded in and out: no click of its own at either end
    EXPECT_LT(std::abs(int(sound.samples.front())), 64);
    EXPECT_LT(std::abs(int(sound.samples.back())), 64);
}

TEST(SoundFiles, KeyClickIsShortCleanPcm) {
    expectCleanSound(L"Click.wav", 30, 60);
}

TEST(SoundFiles, MetronomeTickIsShortCleanPcm) {
    expectCleanSound(L"Metronome.wav", 50, 80);
}

} // namespace
} // namespace keywhirl
