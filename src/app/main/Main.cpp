// src/app/main/Main.cpp - the program's entry point.
#include "app/CkeywhirlApp.h"

#include <objbase.h>
#include <windows.h>

namespace {
// COM for the main thread, from before the first window to program exit.
class ComInitializer {
public:
    ComInitializer() { ::CoInitialize(nullptr); }
    ~ComInitializer() { ::CoUninitialize(); }
    ComInitializer(const ComInitializer&) = delete;
    ComInitializer& operator=(const ComInitializer&) = delete;
};

ComInitializer comInitializer;
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    keywhirl::CkeywhirlApp application;
    return application.run();
}
