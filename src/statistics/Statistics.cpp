// src/statistics/Statistics.cpp
#include "statistics/Statistics.h"

#include "statistics/EffectivenessMonitor.h"
#include "statistics/LastRhythmMonitor.h"
#include "statistics/LastSpeedMonitor.h"
#include "statistics/SymbolsCounter.h"

namespace keywhirl {

Statistics::Statistics() {
    owned.push_back(std::make_unique<SymbolsCounter>());
    owned.push_back(std::make_unique<LastSpeedMonitor>(1));
    owned.push_back(std::make_unique<LastSpeedMonitor>(10));
    owned.push_back(std::make_unique<LastSpeedMonitor>(60));
    owned.push_back(std::make_unique<EffectivenessMonitor>());
    owned.push_back(std::make_unique<LastRhythmMonitor>(1));
    for (const auto& monitor : owned)
        monitors.push_back(monitor.get());
}

Statistics::~Statistics() {
    // The pointer list goes first, so nothing can reach a monitor half destroyed.
    monitors.clear();
    owned.clear();
}

} // namespace keywhirl
