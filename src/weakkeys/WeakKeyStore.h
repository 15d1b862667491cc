// src/weakkeys/WeakKeyStore.h - the weak key record in WeakKeys.ini beside Keywhirl.ini.
#pragma once

#include "weakkeys/WeakKeyRecorder.h"

#include <string>

namespace keywhirl {

// One line per key that has been pressed: its table slot, presses,
// hesitations and lead time. The file is replaced whole, never written in
// place, so a crash or a full disk leaves the previous file as it was.
class WeakKeyStore {
public:
    // Locked: the file could be neither read nor set aside (another program
    // holds it open); this store then never writes over it.
    enum class LoadResult { Missing, Loaded, SetAside, Locked };

    explicit WeakKeyStore(std::wstring path);

    // <application data>\Keywhirl\WeakKeys.ini; empty without that folder.
    static std::wstring defaultPath();
    const std::wstring& path() const { return file; }

    // Fills the recorder from the file. A file that cannot be read is
    // renamed to WeakKeys.ini.bad (replacing an older one) and the recorder
    // is left empty. The recorder's change flag is cleared.
    LoadResult load(WeakKeyRecorder& recorder) const;
    // Writes a temporary file beside the target and moves it over the
    // target. False when anything failed, or after a Locked load; the old
    // file is then untouched.
    bool save(const WeakKeyRecorder& recorder) const;

    static std::string format(const WeakKeyRecorder& recorder);
    // False, with the recorder untouched, for text that is not a record.
    static bool parse(const std::string& text, WeakKeyRecorder& recorder);

private:
    std::wstring file;
    mutable bool keepOff = false;
};

} // namespace keywhirl
