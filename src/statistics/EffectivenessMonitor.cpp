// src/statistics/EffectivenessMonitor.cpp
#include "statistics/EffectivenessMonitor.h"

#include <cstdint>

namespace keywhirl {

void EffectivenessMonitor::handleKey(const KeyInfoWrapper& event) {
    if (event.isKeyUp())
        return;
    const unsigned kept = keptCount.load(std::memory_order_relaxed);
    if (event.isSymbolKey()) {
        typedCount.store(typedCount.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        keptCount.store(kept + 1, std::memory_order_release);
    } else if ((event.isDelete() || event.isBackspace()) && kept != 0) {
        keptCount.store(kept - 1, std::memory_order_release);
    }
}

unsigned EffectivenessMonitor::getEffectiveness() const {
    const unsigned kept = keptCount.load(std::memory_order_acquire);
    const unsigned typed = typedCount.load(std::memory_order_relaxed);
    if (typed == 0)
        return 0;
    // kept * 100 leaves 32 bits after some 43 million symbols.
    return static_cast<unsigned>(std::uint64_t(kept) * 100 / typed);
}

std::wstring EffectivenessMonitor::getTitle() {
    return localized(L"effectiveness.title");
}

std::wstring EffectivenessMonitor::getValue() {
    if (typedCount.load(std::memory_order_relaxed) == 0)
        return noValue();
    return numberWithUnit(getEffectiveness(), L"effectiveness.unit");
}

} // namespace keywhirl
