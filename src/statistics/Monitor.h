// src/statistics/Monitor.h - a key handler that measures typing and shows one row of statistics.
#pragma once

#include "input/KeyHandler.h"

#include <string>

namespace keywhirl {

// handleKey runs on the dispatcher thread for every key event; getTitle and
// getValue run on the statistics window's thread, once per repaint.
class Monitor : public KeyHandler {
public:
    // The row's caption, built anew from the current interface language.
    virtual std::wstring getTitle() = 0;
    // The row's value with its unit, measured at the moment of the call.
    virtual std::wstring getValue() = 0;

protected:
    // One text of the language section "Statistics"; empty when it is missing.
    static std::wstring localized(const wchar_t* key);
    // A number followed directly by the text of unitKey: any space between
    // them belongs to the language file.
    static std::wstring numberWithUnit(unsigned number, const wchar_t* unitKey);
    // Shown instead of a value that has no data behind it yet: a "0 %"
    // before the first key press would read as a bad score.
    static std::wstring noValue() { return L"\x2013"; }
};

} // namespace keywhirl
