// src/settings/persistence/CSettingsStorageIniFile.h - settings kept as text in one section of an
// INI file.
#pragma once

#include "settings/persistence/CSettingsStorage.h"

namespace Duvuzora {

// Every exchange goes straight to the file through the private-profile
// functions; nothing is cached, so a read after a save sees the saved text.
//
// Text forms: bool "TRUE"/"FALSE" (only "TRUE" reads as true); unsigned
// "%u"; signed "%d"; float "%f"; double "%lf"; a number is read from its
// leading characters ("2500ms" reads as 2500); an empty value reads as
// missing. Binary blocks use the platform's struct form (hex digits and a
// checksum).
//
// A path or section name longer than 259 characters is refused: the storage
// stays unbound and every operation on it fails.
class CSettingsStorageIniFile : public CSettingsStorage {
public:
    static constexpr unsigned MaxText = 260;

    // Either may be nullptr and is then left empty (and the storage unbound).
    CSettingsStorageIniFile(const wchar_t* path, const wchar_t* section);

    const wchar_t* GetPath() const { return path_; }
    const wchar_t* GetSection() const { return section_; }
    // True when both a path and a section are set.
    bool IsBound() const { return path_[0] != L'\0' && section_[0] != L'\0'; }

    // Section "<this section>.<name>" of the same file; nullptr when unbound
    // or when that name would not fit.
    CSettingsStorage* CreateSubStorage(const wchar_t* name) override;
    bool ContinueOnError() override { return true; }
    bool ExchangeFloat(const wchar_t* name, float& value, bool save) override;
    bool ExchangeBinary(const wchar_t* name, void* data, unsigned size, bool save) override;
    bool ExchangeRawString(const wchar_t* name, wchar_t* buffer, unsigned& length,
                           bool save) override;
    bool ExchangeDouble(const wchar_t* name, double& value, bool save) override;
    bool ExchangeBool(const wchar_t* name, bool& value, bool save) override;
    bool ExchangeUInt(const wchar_t* name, unsigned int& value, bool save) override;
    bool ExchangeInt(const wchar_t* name, int& value, bool save) override;

private:
    // Writes text as the key's value.
    bool WriteText(const wchar_t* name, const wchar_t* text);
    // Reads the key's value into a MaxText buffer; false when missing or empty.
    bool ReadText(const wchar_t* name, wchar_t (&text)[MaxText]);
    template <typename T>
    bool ExchangeNumber(const wchar_t* name, T& value, const wchar_t* format, bool save);

    wchar_t path_[MaxText];
    wchar_t section_[MaxText];
};

} // namespace Duvuzora
