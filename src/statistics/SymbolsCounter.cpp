// src/statistics/SymbolsCounter.cpp
#include "statistics/SymbolsCounter.h"

namespace keywhirl {

void SymbolsCounter::handleKey(const KeyInfoWrapper& event) {
    if (event.isKeyUp() || !event.isSymbolKey())
        return;
    count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

std::wstring SymbolsCounter::getTitle() {
    return localized(L"symbolsCount.title");
}

std::wstring SymbolsCounter::getValue() {
    return numberWithUnit(getCount(), L"symbolsCount.unit");
}

} // namespace keywhirl
