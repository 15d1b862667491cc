// src/settings/persistence/CSettingsStorage.cpp
#include "settings/persistence/CSettingsStorage.h"

#include "settings/persistence/CSettings.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace Duvuzora {

namespace {
constexpr unsigned firstStringTry = 128;

// Widens a value into the 32-bit primitive and, after a successful read, cuts
// the result back to the member's width.
template <typename Wide, typename Narrow, typename Primitive>
bool throughPrimitive(Narrow& value, bool save, Primitive exchange) {
    Wide wide = static_cast<Wide>(value);
    if (!exchange(wide))
        return false;
    if (!save)
        value = static_cast<Narrow>(wide);
    return true;
}
} // namespace

CSettingsStorage::CSettingsStorage() : itemName_{} {}

CSettingsStorage::~CSettingsStorage() = default;

bool CSettingsStorage::BeginSave() {
    return true;
}
bool CSettingsStorage::EndSave() {
    return true;
}
bool CSettingsStorage::BeginLoad() {
    return true;
}
bool CSettingsStorage::EndLoad() {
    return true;
}

bool CSettingsStorage::ExchangeString(const wchar_t* name, std::wstring& value, bool save) {
    if (save) {
        unsigned length = static_cast<unsigned>(value.size());
        return ExchangeRawString(name, const_cast<wchar_t*>(value.c_str()), length, true);
    }
    // The buffer keeps the old contents, so a failed read leaves them.
    unsigned length = firstStringTry;
    std::vector<wchar_t> buffer(std::max<size_t>(length, value.size() + 1), L'\0');
    value.copy(buffer.data(), value.size());
    bool ok = ExchangeRawString(name, buffer.data(), length, false);
    if (!ok) {
        if (length == 0)
            return false;
        if (buffer.size() < length)
            buffer.resize(length, L'\0');
        ok = ExchangeRawString(name, buffer.data(), length, false);
    }
    if (ok)
        value.assign(buffer.data(), std::wcslen(buffer.data()));
    return ok;
}

bool CSettingsStorage::ExchangeObject(const wchar_t* name, CSettings& object, bool save) {
    std::unique_ptr<CSettingsStorage> sub(CreateSubStorage(name));
    if (!sub)
        return false;
    return save ? object.Save(*sub) : object.Load(*sub);
}

bool CSettingsStorage::ExchangeFloat(const wchar_t* name, float& value, bool save) {
    return throughPrimitive<double>(value, save,
                                    [&](double& wide) { return ExchangeDouble(name, wide, save); });
}

bool CSettingsStorage::ExchangeUInt64(const wchar_t* name, unsigned long long& value, bool save) {
    return ExchangeBinary(name, &value, sizeof value, save);
}

bool CSettingsStorage::ExchangeInt64(const wchar_t* name, long long& value, bool save) {
    return ExchangeBinary(name, &value, sizeof value, save);
}

bool CSettingsStorage::ExchangeUChar(const wchar_t* name, unsigned char& value, bool save) {
    return throughPrimitive<unsigned>(
        value, save, [&](unsigned& wide) { return ExchangeUInt(name, wide, save); });
}

bool CSettingsStorage::ExchangeChar(const wchar_t* name, signed char& value, bool save) {
    return throughPrimitive<int>(value, save,
                                 [&](int& wide) { return ExchangeInt(name, wide, save); });
}

bool CSettingsStorage::ExchangeUShort(const wchar_t* name, unsigned short& value, bool save) {
    return throughPrimitive<unsigned>(
        value, save, [&](unsigned& wide) { return ExchangeUInt(name, wide, save); });
}

bool CSettingsStorage::ExchangeShort(const wchar_t* name, short& value, bool save) {
    return throughPrimitive<int>(value, save,
                                 [&](int& wide) { return ExchangeInt(name, wide, save); });
}

bool CSettingsStorage::ExchangeULong(const wchar_t* name, unsigned long& value, bool save) {
    return throughPrimitive<unsigned>(
        value, save, [&](unsigned& wide) { return ExchangeUInt(name, wide, save); });
}

bool CSettingsStorage::ExchangeLong(const wchar_t* name, long& value, bool save) {
    return throughPrimitive<int>(value, save,
                                 [&](int& wide) { return ExchangeInt(name, wide, save); });
}

bool CSettingsStorage::OpenList(const wchar_t* name) {
    if (list_)
        return false;
    list_.reset(CreateSubStorage(name));
    return list_ != nullptr;
}

bool CSettingsStorage::CloseList(bool save) {
    bool ended = save ? list_->EndSave() : list_->EndLoad();
    list_.reset();
    return ended;
}

bool CSettingsStorage::BeginObjectList(const wchar_t* name, unsigned long& count, bool save) {
    if (!OpenList(name))
        return false;
    if (count == 0xFFFFFFFFul) {
        list_.reset();
        return false;
    }
    if (save)
        list_->BeginSave();
    else
        list_->BeginLoad();
    return list_->ExchangeULong(L"Count", count, save);
}

int CSettingsStorage::ExchangeListObject(int index, CSettings& item, bool save) {
    if (!list_)
        return 0;
    wchar_t itemSection[16];
    std::swprintf(itemSection, 16, L"%i", index);
    std::unique_ptr<CSettingsStorage> sub(list_->CreateSubStorage(itemSection));
    if (!sub)
        return 0;
    bool ok = save ? item.Save(*sub) : item.Load(*sub);
    return ok ? 1 : 0;
}

bool CSettingsStorage::EndObjectList(bool save) {
    if (!list_)
        return false;
    CloseList(save);
    return true;
}

bool CSettingsStorage::BeginValueList(const wchar_t* name, unsigned long& count, bool save) {
    if (!OpenList(name))
        return false;
    bool begun = save ? list_->BeginSave() : list_->BeginLoad();
    if (list_->ExchangeULong(L"Count", count, save))
        return begun;
    CloseList(save);
    return false;
}

bool CSettingsStorage::GetListItemName(int index, const void*, const wchar_t*& name) {
    std::swprintf(itemName_, 16, L"Item.%i", index);
    name = itemName_;
    return true;
}

bool CSettingsStorage::EndValueList(bool save) {
    if (!list_)
        return false;
    return CloseList(save);
}

} // namespace Duvuzora
