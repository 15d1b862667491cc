// src/statistics/Statistics.h - the six typing monitors, in the order of the window's rows.
#pragma once

#include "statistics/Monitor.h"

#include <memory>
#include <vector>

namespace keywhirl {

// Owns the monitors. getMonitors() lists them in this order: symbols typed,
// speed over the last 1, 10 and 60 minutes, effectiveness, rhythm over the
// last minute. The dispatcher calls them in that order and the statistics
// window shows one row each in that order; both hold plain pointers, so
// they must let go before this object goes.
class Statistics {
public:
    Statistics();
    virtual ~Statistics();
    Statistics(const Statistics&) = delete;
    Statistics& operator=(const Statistics&) = delete;

    virtual const std::vector<Monitor*>& getMonitors() const { return monitors; }

private:
    std::vector<std::unique_ptr<Monitor>> owned;
    std::vector<Monitor*> monitors;
};

} // namespace keywhirl
