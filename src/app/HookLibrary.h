// src/app/HookLibrary.h - Keywhirl.dll, loaded from the program's own folder.
#pragma once

#include "utils/Handles.h"

#include <windows.h>

namespace keywhirl {

// The hook library is optional at run time: without it, or when it cannot
// hook, the program runs on without key events.
class HookLibrary {
public:
    HookLibrary() = default;
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    // Loads the library if needed and installs the hook for the window.
    bool set(HWND window);
    // Removes the hook; harmless when none is installed.
    void clear(HWND window);
    // Takes the hook away and installs it afresh, for a hook that the
    // system may have removed without a word.
    bool reinstall(HWND window);

private:
    using HookFunction = int(WINAPI*)(HWND);

    bool load();

    utils::UniqueModule library;
    HookFunction setHook = nullptr;
    HookFunction clearHook = nullptr;
};

} // namespace keywhirl
