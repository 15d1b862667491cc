// src/sound/TWAVDirectSound.h - one voice: a WAV file held in a static DirectSound buffer.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <exception>
#include <memory>

struct IDirectSound;
struct IDirectSoundBuffer;

// The whole sound sits in the voice's own buffer, so playing it is only a
// rewind and a start. All voices share one DirectSound device, made by the
// first voice and closed with the last, since an open device runs its mixer
// even in silence. Voices are made, loaded and destroyed on one thread;
// play() may run on another one once loading is over.
class TWAVDirectSound {
public:
    // Thrown by the constructor when there is no DirectSound device or it
    // refuses the cooperative level.
    class InitializationError : public std::exception {
    public:
        const char* what() const noexcept override { return "DirectSound initialization error!"; }
    };

    // Makes the shared device when no voice has it open, for the given
    // window; later voices ignore the window.
    explicit TWAVDirectSound(HWND window);
    ~TWAVDirectSound();
    TWAVDirectSound(const TWAVDirectSound&) = delete;
    TWAVDirectSound& operator=(const TWAVDirectSound&) = delete;

    // Reads the WAV file and puts its samples into a new buffer, releasing
    // any earlier one. False for a missing, unreadable or malformed file or
    // when DirectSound refuses the buffer.
    bool loadFile(const wchar_t* path);
    // Starts the sound from its beginning, also when it is still playing;
    // it plays once. False without a buffer or when DirectSound fails (a
    // lost buffer is not restored).
    bool play();

    // Whether the shared device is open, for tests.
    static bool hasDevice();

private:
    using Device = keywhirl::utils::ComPtr<IDirectSound>;
    // The open device, or a new one for the window; empty when DirectSound
    // cannot be had.
    static std::shared_ptr<Device> sharedDevice(HWND window);
    void releaseBuffer();

    // Each voice holds the device; the last one to go closes it.
    std::shared_ptr<Device> device;
    keywhirl::utils::ComPtr<IDirectSoundBuffer> buffer;
};
