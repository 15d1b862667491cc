// src/utils/CriticalSection.h - a Win32 critical section and its scoped lock.
#pragma once

#include <windows.h>

namespace keywhirl::utils {

// The lock of data that two threads share; the win32 thread model of the
// compiler has no std::mutex.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section); }
    ~CriticalSection() { ::DeleteCriticalSection(&section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { ::EnterCriticalSection(&section); }
    void leave() { ::LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

// Holds the section from construction to the end of the enclosing block.
class Lock {
public:
    explicit Lock(CriticalSection& section) : section(section) { section.enter(); }
    ~Lock() { section.leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CriticalSection& section;
};

} // namespace keywhirl::utils
