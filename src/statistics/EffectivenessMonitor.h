// src/statistics/EffectivenessMonitor.h - the share of typed symbols that were not erased again.
#pragma once

#include "statistics/Monitor.h"

#include <atomic>

namespace keywhirl {

// Every Backspace or Delete press takes one symbol back, whatever it
// actually erased; the kept count never goes below 0.
class EffectivenessMonitor : public Monitor {
public:
    void handleKey(const KeyInfoWrapper& event) override;
    std::wstring getTitle() override;
    std::wstring getValue() override;

    // Percent of the typed symbols still kept, truncated; 0 before the first symbol.
    unsigned getEffectiveness() const;
    unsigned getTypedCount() const { return typedCount.load(std::memory_order_relaxed); }
    unsigned getKeptCount() const { return keptCount.load(std::memory_order_relaxed); }

private:
    // Written by the dispatcher only. keptCount is published after
    // typedCount, and read before it, so a reader never sees more kept than
    // typed symbols.
    std::atomic<unsigned> typedCount{0};
    std::atomic<unsigned> keptCount{0};
};

} // namespace keywhirl
