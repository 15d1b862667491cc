// src/settings/FileReplacement.h - writes a file through a temporary beside it.
#pragma once

#include <string>

namespace keywhirl {

// A file is never written in place: the new text goes to "<file>.tmp" in the
// same folder, which then replaces the file in one step. A crash or a full
// disk leaves either the old file or the new one, never half of either.
class FileReplacement {
public:
    explicit FileReplacement(std::wstring target);

    const std::wstring& targetPath() const { return target_; }
    const std::wstring& temporaryPath() const { return temporary_; }

    // Starts the temporary as a copy of the file (when there is one), so
    // whatever the writer does not touch stays exactly as it was. False
    // when the temporary cannot be made.
    bool beginFromCopy();
    // Writes bytes as the whole temporary. False when they are not all on disk.
    bool writeTemporary(const std::string& bytes);
    // Flushes the temporary and moves it over the file. On failure the
    // temporary is removed and the file is left as it was.
    bool commit();
    // Removes the temporary, also one that a crash left behind.
    void discard();

private:
    std::wstring target_;
    std::wstring temporary_;
};

} // namespace keywhirl
