// src/app/CkeywhirlApp.h - the application object: one instance, splash, main window.
#pragma once

namespace keywhirl {

class CkeywhirlApp {
public:
    // Runs the program to its end and returns the process's exit code.
    int run();
};

} // namespace keywhirl
