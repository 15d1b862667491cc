// bench/support/BenchSupport.h - what every benchmark program needs: a clock,
// the build's output folder and a scratch folder.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl::bench {

// Seconds on the performance counter.
inline double now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

#ifdef KEYWHIRL_OUTPUT_DIR_UNIX
// The folder with Keywhirl.exe and its data, as Wine sees it through Z:.
inline std::wstring outputFolder() {
    std::wstring path = L"Z:";
    for (const char* c = KEYWHIRL_OUTPUT_DIR_UNIX; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}
#endif

// A folder below the temporary folder for this process's settings.
inline std::wstring makeTempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

} // namespace keywhirl::bench
