// src/settings/persistence/CSettingsStorage.h - a typed key/value store that settings move through.
#pragma once

#include <memory>
#include <string>

namespace Duvuzora {

class CSettings;

// Every exchange operation both reads and writes: save = true writes the
// referenced value to the store, false reads it from the store. They return
// true on success; a failed read leaves the referenced value unchanged.
//
// The smaller integer types go through ExchangeUInt or ExchangeInt: the value
// is widened first and, after a successful read, cut back to its own width
// with no range check (300 read into an unsigned char gives 44).
class CSettingsStorage {
public:
    CSettingsStorage();
    virtual ~CSettingsStorage();
    CSettingsStorage(const CSettingsStorage&) = delete;
    CSettingsStorage& operator=(const CSettingsStorage&) = delete;

    // A new storage nested below this one, owned by the caller; nullptr when
    // it cannot be made.
    virtual CSettingsStorage* CreateSubStorage(const wchar_t* name) = 0;
    // Whether an entry table goes on past a failed entry.
    virtual bool ContinueOnError() = 0;
    virtual bool BeginSave();
    virtual bool EndSave();
    virtual bool BeginLoad();
    virtual bool EndLoad();

    // Through ExchangeRawString; a read tries a 128-character buffer first and
    // once more with the size the store asks for.
    virtual bool ExchangeString(const wchar_t* name, std::wstring& value, bool save);
    // The object goes to a sub-storage named name.
    virtual bool ExchangeObject(const wchar_t* name, CSettings& object, bool save);
    virtual bool ExchangeFloat(const wchar_t* name, float& value, bool save);
    // 8-byte integers are stored as binary blocks.
    virtual bool ExchangeUInt64(const wchar_t* name, unsigned long long& value, bool save);
    virtual bool ExchangeInt64(const wchar_t* name, long long& value, bool save);
    virtual bool ExchangeUChar(const wchar_t* name, unsigned char& value, bool save);
    virtual bool ExchangeChar(const wchar_t* name, signed char& value, bool save);
    virtual bool ExchangeUShort(const wchar_t* name, unsigned short& value, bool save);
    virtual bool ExchangeShort(const wchar_t* name, short& value, bool save);
    virtual bool ExchangeULong(const wchar_t* name, unsigned long& value, bool save);
    virtual bool ExchangeLong(const wchar_t* name, long& value, bool save);
    virtual bool ExchangeBinary(const wchar_t* name, void* data, unsigned size, bool save) = 0;
    // Reading: length is the caller's buffer size in characters. On failure
    // length says why: 0 = the key is missing, otherwise the size to try
    // next. With buffer == nullptr a successful read only reports the size
    // needed (terminator included) in length.
    virtual bool ExchangeRawString(const wchar_t* name, wchar_t* buffer, unsigned& length,
                                   bool save) = 0;
    virtual bool ExchangeDouble(const wchar_t* name, double& value, bool save) = 0;
    virtual bool ExchangeBool(const wchar_t* name, bool& value, bool save) = 0;
    virtual bool ExchangeUInt(const wchar_t* name, unsigned int& value, bool save) = 0;
    virtual bool ExchangeInt(const wchar_t* name, int& value, bool save) = 0;

    // Lists. At most one list is open at a time; a second Begin while one is
    // open fails. After BeginObjectList returned true or failed only on its
    // "Count", the list is open and EndObjectList closes it. A failed
    // BeginValueList leaves nothing open.
    virtual bool BeginObjectList(const wchar_t* name, unsigned long& count, bool save);
    // Item index goes to the sub-storage "<list>.<index>"; returns 1 or 0.
    virtual int ExchangeListObject(int index, CSettings& item, bool save);
    virtual bool EndObjectList(bool save);
    virtual bool BeginValueList(const wchar_t* name, unsigned long& count, bool save);
    // Hands out "Item.<index>" from this storage's own buffer; the text stays
    // valid until the next call. The second argument is not used.
    virtual bool GetListItemName(int index, const void* unused, const wchar_t*& name);
    virtual bool EndValueList(bool save);

    // The storage of the open list, or nullptr: the items of a value list are
    // exchanged on it under the names from GetListItemName.
    CSettingsStorage* GetListStorage() const { return list_.get(); }

private:
    bool OpenList(const wchar_t* name);
    bool CloseList(bool save);

    std::unique_ptr<CSettingsStorage> list_;
    wchar_t itemName_[16];
};

} // namespace Duvuzora
