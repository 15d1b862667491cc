// src/statistics/SymbolsCounter.h - the number of symbols typed since the program started.
#pragma once

#include "statistics/Monitor.h"

#include <atomic>

namespace keywhirl {

class SymbolsCounter : public Monitor {
public:
    void handleKey(const KeyInfoWrapper& event) override;
    std::wstring getTitle() override;
    std::wstring getValue() override;

    unsigned getCount() const { return count.load(std::memory_order_relaxed); }

private:
    // Written by the dispatcher only; a reader one key behind is harmless.
    std::atomic<unsigned> count{0};
};

} // namespace keywhirl
