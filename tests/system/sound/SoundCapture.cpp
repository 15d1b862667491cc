// tests/system/sound/SoundCapture.cpp
#include "SoundCapture.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace keywhirl::testing {

namespace {
constexpr std::size_t kWindow = 256;
constexpr std::size_t kQuietWindowsBeforeOnset = 8;
constexpr double kEnergyThreshold = 1e-4; // RMS 0.01 of full scale

bool readsAsFloats(const std::vector<char>& bytes) {
    if (bytes.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        float value;
        std::memcpy(&value, &bytes[i], 4);
        if (!std::isfinite(value) || std::fabs(value) > 1.0001f)
            return false;
    }
    return true;
}
} // namespace

std::vector<std::wstring> captureFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\OUT.raw*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    // "OUT.raw" sorts before "OUT.raw.0001", and the numbers are zero-padded.
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names)
        paths.push_back(folder + L"\\" + name);
    return paths;
}

void removeCaptures(const std::wstring& folder) {
    for (const std::wstring& path : captureFiles(folder))
        ::DeleteFileW(path.c_str());
}

std::vector<char> readCapture(const std::wstring& path) {
    std::vector<char> bytes;
    // The writer keeps the file open; share it for writing.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    DWORD size = ::GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE) {
        bytes.resize(size);
        DWORD read = 0;
        if (size && !::ReadFile(file, bytes.data(), size, &read, nullptr))
            read = 0;
        bytes.resize(read);
    }
    ::CloseHandle(file);
    return bytes;
}

std::vector<float> decodeSamples(const std::vector<char>& bytes) {
    std::vector<float> samples;
    if (readsAsFloats(bytes)) {
        samples.resize(bytes.size() / 4);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
        return samples;
    }
    samples.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::int16_t value;
        std::memcpy(&value, &bytes[i], 2);
        samples.push_back(static_cast<float>(value) / 32768.0f);
    }
    return samples;
}

std::vector<std::size_t> findOnsets(const std::vector<float>& samples) {
    std::vector<std::size_t> onsets;
    std::size_t quietWindows = kQuietWindowsBeforeOnset;
    for (std::size_t start = 0; start + kWindow <= samples.size(); start += kWindow) {
        double energy = 0;
        for (std::size_t i = start; i < start + kWindow; ++i)
            energy += static_cast<double>(samples[i]) * samples[i];
        if (energy / kWindow > kEnergyThreshold) {
            if (quietWindows >= kQuietWindowsBeforeOnset)
                onsets.push_back(start);
            quietWindows = 0;
        } else {
            ++quietWindows;
        }
    }
    return onsets;
}

} // namespace keywhirl::testing
