// src/settings/ReadBackStorage.h - checks that a storage holds what was saved to it.
#pragma once

#include "settings/persistence/CSettingsStorage.h"

namespace keywhirl {

// Saving a settings object to this storage writes nothing: each value is
// read from the storage it wraps and compared with the value in hand, and
// the save fails when one differs or is missing. A file written through
// functions that may lose its end without saying so (the profile functions
// on a full disk) is checked this way before it replaces the old one.
// Nothing can be read through it; sub-storages and lists are not offered.
class ReadBackStorage : public Duvuzora::CSettingsStorage {
public:
    explicit ReadBackStorage(Duvuzora::CSettingsStorage& stored);

    Duvuzora::CSettingsStorage* CreateSubStorage(const wchar_t*) override { return nullptr; }
    // Every value is compared, so a caller learns of every difference.
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
    Duvuzora::CSettingsStorage& stored;
};

} // namespace keywhirl
