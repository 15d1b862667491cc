// src/statistics/Monitor.cpp
#include "statistics/Monitor.h"

#include "localization/LocalizationManager.h"

#include <sstream>

namespace keywhirl {

std::wstring Monitor::localized(const wchar_t* key) {
    return LocalizationManager::instance()->getBundle(L"Statistics").getString(key);
}

std::wstring Monitor::numberWithUnit(unsigned number, const wchar_t* unitKey) {
    std::wostringstream text;
    text << number << localized(unitKey);
    return text.str();
}

} // namespace keywhirl
