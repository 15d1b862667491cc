// src/localization/InstalledLanguages.h - the codes of the language files beside the program.
#pragma once

#include <string>
#include <vector>

namespace keywhirl {

// The list is read once per run: the program reads it at start, right after
// the localization folder is known, and keeps it.
class InstalledLanguages {
public:
    // Reads the localization folder on the first call.
    static const std::vector<std::wstring>& codes();
    // Reads it again, for tests that point the program folder elsewhere.
    static void rescan();

    // The base names of the "*.xml" files in `folder` (with its trailing
    // backslash), in the order the platform lists them. Only entries with
    // one of the attributes read-only, hidden, system, archive or compressed
    // count, so folders and files that carry none of them are passed over.
    // Files over a megabyte are passed over too: no language file is that
    // large.
    static std::vector<std::wstring> scan(const std::wstring& folder);
};

} // namespace keywhirl
