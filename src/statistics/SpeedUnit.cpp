// src/statistics/SpeedUnit.cpp
#include "statistics/SpeedUnit.h"

#include "settings/Settings.h"

namespace keywhirl {

SpeedUnit SpeedUnits::fromSetting(unsigned value) {
    return value == unsigned(SpeedUnit::WordsPerMinute) ? SpeedUnit::WordsPerMinute
                                                        : SpeedUnit::SymbolsPerMinute;
}

SpeedUnit SpeedUnits::current() {
    return fromSetting(Settings::instance()->speedUnit.load(std::memory_order_relaxed));
}

unsigned SpeedUnits::convert(unsigned symbolsPerMinute, SpeedUnit unit) {
    return unit == SpeedUnit::WordsPerMinute ? symbolsPerMinute / kSymbolsPerWord
                                             : symbolsPerMinute;
}

const wchar_t* SpeedUnits::unitKey(SpeedUnit unit) {
    return unit == SpeedUnit::WordsPerMinute ? L"wordSpeed.unit" : L"speed.unit";
}

} // namespace keywhirl
