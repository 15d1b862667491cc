// src/sound/WavParser.cpp
#include "sound/WavParser.h"

#include <cstdint>
#include <cstring>

namespace keywhirl {

namespace {

constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
// WAVEFORMAT (14) plus wBitsPerSample; WAVEFORMATEX adds cbSize.
constexpr std::size_t kMinimalFormatSize = 14;
constexpr std::size_t kWaveFormatExSize = 18;
constexpr std::size_t kCbSizeOffset = 16;
constexpr unsigned kPcmFormatTag = 1;
constexpr std::uint32_t kMinSampleRate = 1000;
constexpr std::uint32_t kMaxSampleRate = 192000;

std::uint32_t readLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

unsigned readLe16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}

bool hasId(const unsigned char* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

} // namespace

std::optional<WavLayout> parseWav(const void* bytes, std::size_t size) {
    const auto* file = static_cast<const unsigned char*>(bytes);
    if (size < kRiffHeaderSize || !hasId(file, "RIFF") || !hasId(file + 8, "WAVE"))
        return std::nullopt;

    // 64-bit positions: a 32-bit chunk size added to an offset must not wrap.
    const std::uint64_t fileEnd = size;
    const std::uint64_t riffEnd = std::uint64_t{readLe32(file + 4)} + 8;
    bool haveFormat = false;
    bool haveData = false;
    WavLayout layout{};
    for (std::uint64_t pos = kRiffHeaderSize; pos < riffEnd;) {
        if (pos + kChunkHeaderSize > fileEnd)
            return std::nullopt;
        const unsigned char* header = file + pos;
        const std::uint64_t contentSize = readLe32(header + 4);
        const std::uint64_t contentStart = pos + kChunkHeaderSize;
        if (contentStart + contentSize > fileEnd)
            return std::nullopt;
        if (!haveFormat && hasId(header, "fmt ")) {
            if (contentSize < kMinimalFormatSize)
                return std::nullopt;
            layout.formatOffset = static_cast<std::size_t>(contentStart);
            layout.formatSize = static_cast<std::size_t>(contentSize);
            haveFormat = true;
        } else if (!haveData && hasId(header, "data")) {
            layout.dataOffset = static_cast<std::size_t>(contentStart);
            layout.dataSize = static_cast<std::size_t>(contentSize);
            haveData = true;
        }
        if (haveFormat && haveData)
            return layout;
        // An odd-sized chunk is followed by one fill byte.
        pos = contentStart + contentSize + (contentSize & 1);
    }
    return std::nullopt;
}

std::vector<unsigned char> makeWaveFormat(const void* format, std::size_t size) {
    if (size < kMinimalFormatSize)
        return {};
    const auto* chunk = static_cast<const unsigned char*>(format);
    std::vector<unsigned char> waveFormat(size < kWaveFormatExSize ? kWaveFormatExSize : size, 0);
    std::memcpy(waveFormat.data(), chunk, size);
    if (readLe16(chunk) == kPcmFormatTag) {
        waveFormat[kCbSizeOffset] = 0;
        waveFormat[kCbSizeOffset + 1] = 0;
    } else if (size >= kWaveFormatExSize &&
               kWaveFormatExSize + readLe16(chunk + kCbSizeOffset) > size) {
        return {};
    }
    return waveFormat;
}

bool isPlayablePcmFormat(const void* format, std::size_t size) {
    if (size < kMinimalFormatSize + 2)
        return false;
    const auto* chunk = static_cast<const unsigned char*>(format);
    const unsigned channels = readLe16(chunk + 2);
    const std::uint32_t rate = readLe32(chunk + 4);
    const std::uint32_t byteRate = readLe32(chunk + 8);
    const unsigned blockAlign = readLe16(chunk + 12);
    const unsigned bits = readLe16(chunk + 14);
    return readLe16(chunk) == kPcmFormatTag && (channels == 1 || channels == 2) &&
           (bits == 8 || bits == 16) && rate >= kMinSampleRate && rate <= kMaxSampleRate &&
           blockAlign == channels * bits / 8 && byteRate == rate * blockAlign;
}

bool isSelfContainedWav(const void* bytes, std::size_t size) {
    std::optional<WavLayout> layout = parseWav(bytes, size);
    if (!layout)
        return false;
    const auto* file = static_cast<const unsigned char*>(bytes);
    if (!isPlayablePcmFormat(file + layout->formatOffset, layout->formatSize))
        return false;
    const std::uint64_t riffEnd = std::uint64_t{readLe32(file + 4)} + 8;
    // Chunk searches read a third word after each eight-byte header.
    return riffEnd <= size && layout->formatOffset < layout->dataOffset &&
           std::uint64_t{layout->dataOffset} + 4 <= size;
}

} // namespace keywhirl
