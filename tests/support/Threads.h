// tests/support/Threads.h - how many threads this process has.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

#include <tlhelp32.h>

namespace keywhirl::testing {

// Counts the threads of this process as the system lists them: a thread
// that has returned is gone from the list, one that only sleeps is not.
inline int threadsOfThisProcess() {
    utils::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}

} // namespace keywhirl::testing
