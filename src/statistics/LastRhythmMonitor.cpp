// src/statistics/LastRhythmMonitor.cpp
#include "statistics/LastRhythmMonitor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace keywhirl {

LastRhythmMonitor::LastRhythmMonitor(unsigned periodMinutes)
    : periodMinutes(periodMinutes), keyTimes(periodMinutes * 60000) {}

void LastRhythmMonitor::handleKey(const KeyInfoWrapper& event) {
    if (!event.isKeyUp() && event.isSymbolKey())
        keyTimes.append(event.time());
}

unsigned LastRhythmMonitor::rhythmOf(std::uint64_t n, std::uint64_t sum,
                                     std::uint64_t sumOfSquares) {
    if (n == 0 || sum == 0)
        return 0;
    // n*Q - S^2 is exact in 64 bits for any realistic window; it cannot be
    // negative, since S^2 <= n*Q.
    double spread = 0;
    if (sumOfSquares <= std::numeric_limits<std::uint64_t>::max() / n &&
        sum <= std::numeric_limits<std::uint32_t>::max()) {
        const std::uint64_t nq = n * sumOfSquares;
        const std::uint64_t s2 = sum * sum;
        spread = nq > s2 ? double(nq - s2) : 0.0;
    } else {
        spread = std::max(0.0, double(n) * double(sumOfSquares) - double(sum) * double(sum));
    }
    const double nd = double(n);
    const double sigma = std::sqrt(spread / (nd * nd));
    // 4^-x as 2^-2x: exact for the whole and half powers that even or
    // regularly alternating intervals give, where pow may land one unit low.
    const double rhythm = 100.0 * std::exp2(-2.0 * sigma * nd / double(sum));
    return static_cast<unsigned>(rhythm);
}

unsigned LastRhythmMonitor::measureRhythm() {
    return measuredRhythm().value_or(0);
}

std::optional<unsigned> LastRhythmMonitor::measuredRhythm() {
    std::uint64_t n = 0;
    std::uint64_t sum = 0;
    std::uint64_t sumOfSquares = 0;
    keyTimes.visitRecent([&](DWORD, const TimeStampList::Stamps& stamps) {
        auto it = stamps.begin();
        if (it == stamps.end())
            return;
        DWORD previous = *it;
        for (++it; it != stamps.end(); ++it) {
            const std::uint64_t interval = DWORD(*it - previous);
            previous = *it;
            ++n;
            sum += interval;
            sumOfSquares += interval * interval;
        }
    });
    if (n == 0)
        return std::nullopt;
    return rhythmOf(n, sum, sumOfSquares);
}

std::wstring LastRhythmMonitor::getTitle() {
    return localized(L"rhythm.title");
}

std::wstring LastRhythmMonitor::getValue() {
    const std::optional<unsigned> rhythm = measuredRhythm();
    return rhythm ? numberWithUnit(*rhythm, L"rhythm.unit") : noValue();
}

} // namespace keywhirl
