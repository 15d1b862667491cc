// tests/unit/sound/WavBytes.h - WAV files made up byte by byte for the sound tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace keywhirl::testing {

using Bytes = std::vector<unsigned char>;

inline void putLe16(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

inline void putLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

inline void setLe32(Bytes& out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// The first 14 (WAVEFORMAT), 16 (PCMWAVEFORMAT) or 18 (WAVEFORMATEX) bytes
// of a 16-bit PCM format; 18 and more carry cbSize = size - 18.
inline Bytes pcmFormat(std::size_t size = 16, unsigned channels = 1, unsigned rate = 22050) {
    Bytes format;
    putLe16(format, 1);
    putLe16(format, channels);
    putLe32(format, rate);
    putLe32(format, rate * channels * 2);
    putLe16(format, channels * 2);
    putLe16(format, 16);
    if (size >= 18)
        putLe16(format, static_cast<unsigned>(size - 18));
    format.resize(size, 0);
    return format;
}

// A short decaying tick, 16-bit mono.
inline Bytes tickSamples(std::size_t count = 441) {
    Bytes samples;
    for (std::size_t i = 0; i < count; ++i) {
        int level = static_cast<int>((count - i) * 12000 / count);
        putLe16(samples,
                static_cast<unsigned>(static_cast<std::int16_t>(i % 8 < 4 ? level : -level)));
    }
    return samples;
}

struct Chunk {
    std::string id;
    Bytes content;
};

// RIFF WAVE around the chunks, each padded to an even length. The RIFF
// length is the true one unless given.
inline Bytes riffWave(const std::vector<Chunk>& chunks, long long riffLength = -1) {
    Bytes file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        file.insert(file.end(), chunk.id.begin(), chunk.id.end());
        putLe32(file, static_cast<std::uint32_t>(chunk.content.size()));
        file.insert(file.end(), chunk.content.begin(), chunk.content.end());
        if (chunk.content.size() % 2 != 0)
            file.push_back(0);
    }
    setLe32(file, 4,
            static_cast<std::uint32_t>(riffLength >= 0 ? riffLength
                                                       : static_cast<long long>(file.size()) - 8));
    return file;
}

// An ordinary 16-bit mono PCM file: "fmt " (16 bytes), then "data".
inline Bytes plainWav(std::size_t sampleCount = 441) {
    return riffWave({{"fmt ", pcmFormat()}, {"data", tickSamples(sampleCount)}});
}

inline bool writeFile(const std::wstring& path, const Bytes& bytes) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace keywhirl::testing
