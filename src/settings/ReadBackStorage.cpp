// src/settings/ReadBackStorage.cpp
#include "settings/ReadBackStorage.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace keywhirl {

namespace {

template <typename T, typename Read> bool holds(const T& value, Read read) {
    T found{};
    return read(found) && found == value;
}

// A number with decimals is kept as text with six of them.
template <typename T, typename Read> bool holdsNear(const T& value, Read read) {
    T found{};
    return read(found) && std::fabs(double(found) - double(value)) <= 1e-6 * (1 + std::fabs(value));
}

} // namespace

ReadBackStorage::ReadBackStorage(Duvuzora::CSettingsStorage& stored) : stored(stored) {}

bool ReadBackStorage::ExchangeFloat(const wchar_t* name, float& value, bool save) {
    return save && holdsNear(value, [&](float& v) { return stored.ExchangeFloat(name, v, false); });
}

bool ReadBackStorage::ExchangeDouble(const wchar_t* name, double& value, bool save) {
    return save &&
           holdsNear(value, [&](double& v) { return stored.ExchangeDouble(name, v, false); });
}

bool ReadBackStorage::ExchangeBool(const wchar_t* name, bool& value, bool save) {
    return save && holds(value, [&](bool& v) { return stored.ExchangeBool(name, v, false); });
}

bool ReadBackStorage::ExchangeUInt(const wchar_t* name, unsigned int& value, bool save) {
    return save &&
           holds(value, [&](unsigned int& v) { return stored.ExchangeUInt(name, v, false); });
}

bool ReadBackStorage::ExchangeInt(const wchar_t* name, int& value, bool save) {
    return save && holds(value, [&](int& v) { return stored.ExchangeInt(name, v, false); });
}

bool ReadBackStorage::ExchangeBinary(const wchar_t* name, void* data, unsigned size, bool save) {
    if (!save || data == nullptr)
        return false;
    std::vector<unsigned char> found(size);
    return stored.ExchangeBinary(name, found.data(), size, false) &&
           (size == 0 || std::memcmp(found.data(), data, size) == 0);
}

bool ReadBackStorage::ExchangeRawString(const wchar_t* name, wchar_t* buffer, unsigned&,
                                        bool save) {
    if (!save || buffer == nullptr)
        return false;
    std::wstring found;
    return stored.ExchangeString(name, found, false) && found == buffer;
}

} // namespace keywhirl
