// tests/support/FailingWriter.h - a disk that fills up in the middle of a save.
#pragma once

#include "settings/FileReplacement.h"

#include <windows.h>

namespace keywhirl::testing {

// While it lives, files written through FileReplacement take only their
// first bytes. Honest: the write reports the failure. Lying: it reports
// every byte written, as a full disk has been seen to do.
class FailingWriter {
public:
    enum Kind { Honest, Lying };

    FailingWriter(Kind kind, DWORD bytesThatFit) {
        honest() = kind == Honest;
        room() = bytesThatFit;
        FileReplacement::useWriter(&FailingWriter::write);
    }
    ~FailingWriter() { FileReplacement::useWriter(nullptr); }
    FailingWriter(const FailingWriter&) = delete;
    FailingWriter& operator=(const FailingWriter&) = delete;

private:
    static bool& honest() {
        static bool value = true;
        return value;
    }
    static DWORD& room() {
        static DWORD value = 0;
        return value;
    }
    static bool write(HANDLE file, const char* data, DWORD size) {
        DWORD fits = size < room() ? size : room();
        DWORD written = 0;
        if (fits > 0 && !::WriteFile(file, data, fits, &written, nullptr))
            return false;
        return fits == size || !honest();
    }
};

} // namespace keywhirl::testing
