// src/settings/FileResources.h - sound file bytes read once, when the program starts.
#pragma once

#include <cstddef>
#include <vector>

namespace keywhirl {

// Holds the whole metronome sound file (handed to PlaySoundW as an in-memory
// sound) and the click sound file. A file that cannot be read leaves its
// block empty.
class FileResources {
public:
    // Reads <program folder>/Sounds/Metronome.wav and /Sounds/Click.wav on
    // the first call.
    static FileResources* instance();
    static void destroyInstance();

    FileResources();
    FileResources(const FileResources&) = delete;
    FileResources& operator=(const FileResources&) = delete;
    virtual ~FileResources() = default;

    const std::vector<char>& getMetronomeSound() const { return metronomeSound_; }
    // The click itself is played from its file; the bytes are kept for tests
    // and for a player that wants them.
    const std::vector<char>& getClickSound() const { return clickSound_; }

    // A click or a beat is a fraction of a second; a sound file longer than
    // this is refused unread, like a missing one.
    static constexpr std::size_t MaxSoundFileBytes = 4 * 1024 * 1024;

private:
    std::vector<char> metronomeSound_;
    std::vector<char> clickSound_;

    static FileResources* instance_;
};

} // namespace keywhirl
