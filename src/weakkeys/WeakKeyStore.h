// src/weakkeys/WeakKeyStore.h - the weak key record in WeakKeys.ini beside Keywhirl.ini.
#pragma once

#include "weakkeys/WeakKeyRecorder.h"

#include <string>
#include <vector>

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

    // Fills the recorder from the file, and removes a temporary that a
    // crashed save left. A file that is no record at all (too large, or
    // without the [WeakKeys] section) is renamed to WeakKeys.ini.bad, older
    // ones moving to .bad.1 and on, and the recorder is left empty. The
    // recorder's change flag is cleared.
    LoadResult load(WeakKeyRecorder& recorder) const;
    // Writes a temporary file beside the target and moves it over the
    // target. False when anything failed, or after a Locked load; the old
    // file is then untouched.
    bool save(const WeakKeyRecorder& recorder) const;

    // The record's text; lines that could not be read go after the keys,
    // as they were, so that no line of the file is ever lost.
    static std::string format(const WeakKeyRecorder& recorder,
                              const std::vector<std::string>& unreadLines = {});
    // Reads the record. Line ends CR LF, LF or CR, UTF-8 with or without its
    // byte order mark, UTF-16; spaces around names and values; hex digits in
    // either case. A line that cannot be read is skipped (and added to
    // unreadLines when given); a second line for the same key too. False,
    // with the recorder untouched, for text that is no record at all.
    static bool parse(const std::string& text, WeakKeyRecorder& recorder,
                      std::vector<std::string>* unreadLines = nullptr);

private:
    std::wstring file;
    mutable bool keepOff = false;
    // The lines of the loaded file that could not be read, written back.
    mutable std::vector<std::string> unread;
};

} // namespace keywhirl
