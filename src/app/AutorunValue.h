// src/app/AutorunValue.h - the registry value that starts Keywhirl at logon.
#pragma once

#include <string>

namespace keywhirl {

// "Keywhirl" under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
class AutorunValue {
public:
    // Writes the value (the running program, quoted) when on, deletes it
    // when off.
    static void apply(bool on);
    // The value as written: the running program file's full path, quoted,
    // since an unquoted path with a space is read by the shell as a program
    // name plus arguments.
    static std::wstring command();
};

} // namespace keywhirl
