// src/settings/persistence/CSettingsEntryTable.cpp
#include "settings/persistence/CSettingsEntryTable.h"

#include "settings/persistence/CSettings.h"

namespace Duvuzora {

CSettingsEntryTable::CSettingsEntryTable(bool continueOnError, CSettingsStorage& storage, bool save,
                                         bool setDefaults)
    : storage_(storage), continueOnError_(continueOnError), save_(save), setDefaults_(setDefaults) {
}

bool CSettingsEntryTable::Exchange(const wchar_t* key, bool& member) {
    return storage_.ExchangeBool(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, unsigned char& member) {
    return storage_.ExchangeUChar(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, signed char& member) {
    return storage_.ExchangeChar(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, unsigned short& member) {
    return storage_.ExchangeUShort(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, short& member) {
    return storage_.ExchangeShort(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, unsigned int& member) {
    return storage_.ExchangeUInt(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, int& member) {
    return storage_.ExchangeInt(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, unsigned long& member) {
    return storage_.ExchangeULong(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, long& member) {
    return storage_.ExchangeLong(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, unsigned long long& member) {
    return storage_.ExchangeUInt64(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, long long& member) {
    return storage_.ExchangeInt64(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, float& member) {
    return storage_.ExchangeFloat(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, double& member) {
    return storage_.ExchangeDouble(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, std::wstring& member) {
    return storage_.ExchangeString(key, member, save_);
}
bool CSettingsEntryTable::Exchange(const wchar_t* key, CSettings& member) {
    return storage_.ExchangeObject(key, member, save_);
}

} // namespace Duvuzora
