// src/sound/TWAVDirectSound.cpp
#include "sound/TWAVDirectSound.h"

#include "settings/FileResources.h"
#include "settings/Paths.h"
#include "sound/WavParser.h"

#include <mmsystem.h>
#include <dsound.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

static_assert(sizeof(DSBUFFERDESC) == 36, "the buffer description of DirectX 7 and later");

using DirectSoundCreateFunction = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

// dsound.dll is loaded by its full system path when the first voice is made,
// so the program starts (silently) where DirectSound is missing and never
// picks up a stray copy from the current folder. The library is kept once
// a device exists.
IDirectSound* createDirectSound() {
    HMODULE library = keywhirl::loadSystemLibrary(L"dsound.dll");
    if (library == nullptr)
        return nullptr;
    auto create = reinterpret_cast<DirectSoundCreateFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "DirectSoundCreate")));
    IDirectSound* created = nullptr;
    if (create == nullptr || FAILED(create(nullptr, &created, nullptr)) || created == nullptr) {
        ::FreeLibrary(library);
        return nullptr;
    }
    return created;
}

// Seen by every voice, held by none: it expires with the last voice.
std::weak_ptr<keywhirl::utils::ComPtr<IDirectSound>> openDevice;

} // namespace

TWAVDirectSound::TWAVDirectSound(HWND window) : device(sharedDevice(window)) {
    if (!device)
        throw InitializationError();
}

TWAVDirectSound::~TWAVDirectSound() {
    // The buffer belongs to the device: it goes first.
    releaseBuffer();
}

bool TWAVDirectSound::hasDevice() {
    return !openDevice.expired();
}

std::shared_ptr<TWAVDirectSound::Device> TWAVDirectSound::sharedDevice(HWND window) {
    if (std::shared_ptr<Device> open = openDevice.lock())
        return open;
    Device created(createDirectSound());
    if (!created || FAILED(created->SetCooperativeLevel(window, DSSCL_NORMAL)))
        return nullptr;
    auto device = std::make_shared<Device>(std::move(created));
    openDevice = device;
    return device;
}

void TWAVDirectSound::releaseBuffer() {
    buffer.reset();
}

bool TWAVDirectSound::loadFile(const wchar_t* path) {
    if (!device || path == nullptr)
        return false;
    releaseBuffer();

    std::vector<char> file;
    try {
        if (keywhirl::readFileBytes(path, file, keywhirl::FileResources::MaxSoundFileBytes) != 0)
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::optional<keywhirl::WavLayout> layout = keywhirl::parseWav(file.data(), file.size());
    if (!layout ||
        !keywhirl::isPlayablePcmFormat(file.data() + layout->formatOffset, layout->formatSize))
        return false;
    // DirectSound reads a whole WAVEFORMATEX and its extra bytes, which may
    // be more than the file's "fmt " chunk holds.
    std::vector<unsigned char> format =
        keywhirl::makeWaveFormat(file.data() + layout->formatOffset, layout->formatSize);
    if (format.empty())
        return false;

    DSBUFFERDESC description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_STATIC | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = static_cast<DWORD>(layout->dataSize);
    description.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(format.data());
    if (FAILED((*device)->CreateSoundBuffer(&description, buffer.addressof(), nullptr)) ||
        !buffer) {
        buffer.reset();
        return false;
    }

    void* first = nullptr;
    DWORD firstSize = 0;
    void* second = nullptr;
    DWORD secondSize = 0;
    if (FAILED(buffer->Lock(0, description.dwBufferBytes, &first, &firstSize, &second, &secondSize,
                            0))) {
        // An unfilled buffer would play noise or nothing: better none.
        releaseBuffer();
        return false;
    }
    const char* samples = file.data() + layout->dataOffset;
    std::size_t remaining = layout->dataSize;
    std::size_t firstPart = firstSize < remaining ? firstSize : remaining;
    if (first != nullptr)
        std::memcpy(first, samples, firstPart);
    remaining -= firstPart;
    if (second != nullptr && remaining != 0)
        std::memcpy(second, samples + firstPart, secondSize < remaining ? secondSize : remaining);
    buffer->Unlock(first, firstSize, second, secondSize);
    return true;
}

bool TWAVDirectSound::play() {
    if (!device || !buffer)
        return false;
    if (FAILED(buffer->SetCurrentPosition(0)))
        return false;
    return SUCCEEDED(buffer->Play(0, 0, 0));
}
