// src/settings/FileReplacement.h - writes a file through a temporary beside it.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// A file is never written in place: the new text goes to "<file>.tmp" in the
// same folder, which then replaces the file in one step. A crash or a full
// disk leaves either the old file or the new one, never half of either.
class FileReplacement {
public:
    // Writes size bytes to an open file; true when the system says all went
    // out. Tests put in one that fails, or lies, part of the way.
    using Writer = bool (*)(HANDLE file, const char* data, DWORD size);

    explicit FileReplacement(std::wstring target);

    const std::wstring& targetPath() const { return target_; }
    const std::wstring& temporaryPath() const { return temporary_; }

    // Starts the temporary as a copy of the file (when there is one), so
    // whatever the writer does not touch stays exactly as it was. False
    // when the temporary cannot be made.
    bool beginFromCopy();
    // Writes bytes as the whole temporary. False when they are not all on
    // disk; the temporary is then removed.
    bool writeTemporary(const std::string& bytes);
    // Flushes the temporary and moves it over the file, when the temporary
    // holds as many bytes as writeTemporary() wrote. On failure the
    // temporary is removed and the file is left as it was.
    bool commit();
    // Removes the temporary, also one that a crash left behind.
    void discard();

    // nullptr puts the system's WriteFile back.
    static void useWriter(Writer writer);

private:
    std::wstring target_;
    std::wstring temporary_;
    // What writeTemporary() wrote; unknown for a temporary that other code
    // filled after beginFromCopy().
    bool sizeKnown_ = false;
    unsigned long long writtenSize_ = 0;
};

} // namespace keywhirl
