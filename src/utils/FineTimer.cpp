// src/utils/FineTimer.cpp
#include "utils/FineTimer.h"

#include <windows.h>

#include <mmsystem.h>

namespace keywhirl::utils {

FineTimer::FineTimer() : granted(::timeBeginPeriod(1) == TIMERR_NOERROR) {}

FineTimer::~FineTimer() {
    if (granted)
        ::timeEndPeriod(1);
}

} // namespace keywhirl::utils
