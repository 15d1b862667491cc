// tests/system/keyboard/TypingTarget.h - a window with an edit control that
// records what real key presses type into it.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl::testing {

class TypingTarget {
public:
    static const wchar_t kTitle[];

    // The edit's whole text is written to outputFile after every change.
    explicit TypingTarget(const std::wstring& outputFile);
    ~TypingTarget();
    TypingTarget(const TypingTarget&) = delete;
    TypingTarget& operator=(const TypingTarget&) = delete;

    bool created() const { return window != nullptr; }
    // Runs the window until it gets WM_CLOSE or the time is up.
    void run(DWORD milliseconds);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void save() const;

    std::wstring outputFile;
    HWND window = nullptr;
    HWND edit = nullptr;
};

} // namespace keywhirl::testing
