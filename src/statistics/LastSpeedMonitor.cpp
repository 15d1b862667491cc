// src/statistics/LastSpeedMonitor.cpp
#include "statistics/LastSpeedMonitor.h"

#include "statistics/SpeedUnit.h"

#include <cstdint>
#include <sstream>

namespace keywhirl {

LastSpeedMonitor::LastSpeedMonitor(unsigned periodMinutes)
    : periodMinutes(periodMinutes), keyTimes(periodMinutes * 60000) {}

void LastSpeedMonitor::handleKey(const KeyInfoWrapper& event) {
    if (!event.isKeyUp() && event.isSymbolKey())
        keyTimes.append(event.time());
}

unsigned LastSpeedMonitor::measureSpeed() {
    std::uint64_t gaps = 0;
    DWORD elapsed = 0;
    keyTimes.visitRecent([&](DWORD now, const TimeStampList::Stamps& stamps) {
        if (stamps.size() > 1) {
            gaps = stamps.size() - 1;
            elapsed = now - stamps.front();
        }
    });
    // Several presses within the clock's present tick leave no time to divide by.
    if (gaps == 0 || elapsed == 0)
        return 0;
    return static_cast<unsigned>(gaps * 60000 / elapsed);
}

std::wstring LastSpeedMonitor::getTitle() {
    std::wostringstream text;
    text << localized(L"lastSpeed.title.1") << periodMinutes << localized(L"lastSpeed.title.2");
    return text.str();
}

std::wstring LastSpeedMonitor::getValue() {
    const SpeedUnit unit = SpeedUnits::current();
    return numberWithUnit(SpeedUnits::convert(measureSpeed(), unit), SpeedUnits::unitKey(unit));
}

} // namespace keywhirl
