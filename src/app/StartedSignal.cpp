// src/app/StartedSignal.cpp
#include "app/StartedSignal.h"

namespace keywhirl {

void StartedSignal::raise() {
    if (!event)
        event.reset(::CreateEventW(nullptr, TRUE, FALSE, nameFor(::GetCurrentProcessId()).c_str()));
    if (event)
        ::SetEvent(event.get());
}

} // namespace keywhirl
