// tests/unit/help/ChmFile.h - reads the files inside a compiled help file
// through the platform's own reader (the InfoTech storage of itss.dll), the
// one that HTML Help uses to open it.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <map>
#include <string>

namespace keywhirl::testing {

class ChmFile {
public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Opens the file; false when the reader is missing or the file is not a
    // compiled help file. COM must be initialised on the calling thread.
    bool open(const std::wstring& path);

    // The whole content of one inner file, given with forward slashes and
    // without the leading one ("#IVB", "html/index.html"). False if missing.
    bool read(const std::wstring& name, std::string& bytes) const;
    bool exists(const std::wstring& name) const;

    // The context number to topic table (#IVB resolved through #STRINGS),
    // as HTML Help looks up HH_HELP_CONTEXT. Empty if the file has none;
    // false if the table is damaged.
    bool contextMap(std::map<std::uint32_t, std::string>& topics) const;

    // One record of the #SYSTEM file (2 is the default topic, 3 the title),
    // without its terminating zero. Empty if absent.
    std::string systemRecord(std::uint16_t code) const;

private:
    bool stringAt(std::uint32_t offset, std::string& text) const;

    IStorage* root_ = nullptr;
};

} // namespace keywhirl::testing
