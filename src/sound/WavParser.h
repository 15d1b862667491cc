// src/sound/WavParser.h - finds the format and the samples of a RIFF WAVE file in memory.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace keywhirl {

// Where the two chunks that matter lie, as offsets into the parsed bytes.
// Both ranges lie wholly inside those bytes.
struct WavLayout {
    std::size_t formatOffset;
    std::size_t formatSize;
    std::size_t dataOffset;
    std::size_t dataSize;
};

// Walks the chunks of a RIFF WAVE file and returns the first "fmt " chunk
// (at least 14 bytes) and the first "data" chunk, in whichever order they
// come. Nothing outside [bytes, bytes + size) is ever read: whatever the
// RIFF length or a chunk size claims, a chunk that runs past the end makes
// the file invalid.
std::optional<WavLayout> parseWav(const void* bytes, std::size_t size);

// The wave format to hand to a sound API that reads a whole WAVEFORMATEX
// and then cbSize extra bytes: the chunk copied into at least 18 zeroed
// bytes. PCM ignores cbSize, so it is set to 0; any other format whose
// cbSize claims more bytes than the chunk holds is refused (empty result).
std::vector<unsigned char> makeWaveFormat(const void* format, std::size_t size);

// Whether a "fmt " chunk describes plain PCM that every sound API plays
// safely: 1 or 2 channels of 8 or 16 bits at 1,000 to 192,000 samples a
// second, with the block size and byte rate that follow from those. A
// zero block size, for one, makes the platform's player divide by zero.
bool isPlayablePcmFormat(const void* format, std::size_t size);

// Whether a sound API that gets only a pointer (PlaySoundW with
// SND_MEMORY) can play the bytes without reading past their end: it trusts
// the RIFF length and searches for "data" only after "fmt ", so the RIFF
// length must fit, "fmt " must come first and every header it reads must
// lie inside. Its format must be playable PCM as well.
bool isSelfContainedWav(const void* bytes, std::size_t size);

} // namespace keywhirl
