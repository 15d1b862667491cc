// src/app/StartedSignal.cpp
#include "app/StartedSignal.h"

namespace keywhirl {

void StartedSignal::raise() {
    if (!event || !*event)
        event.emplace(true, false, nameFor(::GetCurrentProcessId()).c_str());
    event->set();
}

} // namespace keywhirl
