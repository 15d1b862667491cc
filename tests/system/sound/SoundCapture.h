// tests/system/sound/SoundCapture.h - what ALSA's file plugin wrote, read back as sounds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace keywhirl::testing {

// The files of the capture folder that the plugin wrote, one per stream,
// oldest stream first (OUT.raw, OUT.raw.0001, ...).
std::vector<std::wstring> captureFiles(const std::wstring& folder);
void removeCaptures(const std::wstring& folder);
std::vector<char> readCapture(const std::wstring& path);

// The samples of a headerless capture scaled to -1..1. Wine's mixer writes
// 32-bit floats; anything that cannot be such floats (a NaN, or a value
// beyond full scale) is read as 16-bit integers. Channels stay interleaved:
// counting sounds needs no channel split.
std::vector<float> decodeSamples(const std::vector<char>& bytes);

// Where sounds start: a stretch of 256 samples whose mean energy passes a
// -40 dBFS threshold, after at least 2048 quiet samples (the start of the
// data counts as quiet). That gap is 21 ms of 48 kHz stereo and 46 ms of
// 44.1 kHz mono, shorter than any pause between two sounds of the tests and
// longer than the quiet moments inside one.
std::vector<std::size_t> findOnsets(const std::vector<float>& samples);

} // namespace keywhirl::testing
