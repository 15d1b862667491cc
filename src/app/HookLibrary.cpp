// src/app/HookLibrary.cpp
#include "app/HookLibrary.h"

#include "settings/Paths.h"

namespace keywhirl {

namespace {
template <typename Function> Function libraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}
} // namespace

bool HookLibrary::load() {
    if (library)
        return setHook && clearHook;
    library.reset(::LoadLibraryW(getHookLibraryFile().c_str()));
    if (!library)
        return false;
    setHook = libraryFunction<HookFunction>(library.get(), "setKeywhirlHook");
    clearHook = libraryFunction<HookFunction>(library.get(), "clearKeywhirlHook");
    return setHook && clearHook;
}

bool HookLibrary::set(HWND window) {
    return load() && setHook(window) != 0;
}

bool HookLibrary::reinstall(HWND window) {
    clear(window);
    return set(window);
}

void HookLibrary::clear(HWND window) {
    if (clearHook)
        clearHook(window);
}

} // namespace keywhirl
