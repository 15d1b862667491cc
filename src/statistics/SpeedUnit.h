// src/statistics/SpeedUnit.h - the unit every typing speed is shown in.
#pragma once

namespace keywhirl {

// The values of the setting speedUnit. Speeds are measured in symbols per
// minute and turned into the chosen unit only to be shown.
enum class SpeedUnit : unsigned { SymbolsPerMinute = 0, WordsPerMinute = 1 };

class SpeedUnits {
public:
    // A word is five symbols, as typing tests count it.
    static constexpr unsigned kSymbolsPerWord = 5;

    // The setting's value as a unit: anything unknown is symbols per minute.
    static SpeedUnit fromSetting(unsigned value);
    // The unit the settings choose now.
    static SpeedUnit current();

    // A speed in symbols per minute, in the unit (whole words, cut off).
    static unsigned convert(unsigned symbolsPerMinute, SpeedUnit unit);
    // The unit's text after a number, a key of the language section "Statistics".
    static const wchar_t* unitKey(SpeedUnit unit);
};

} // namespace keywhirl
