// src/input/QuietDecision.h - whether Keywhirl keeps quiet, or does not even count, for what is in
// front of the user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl {

// Ordered: a higher level includes everything a lower one holds back.
enum class QuietLevel : int {
    // Hints, clicks, beats and counting as the settings say.
    Normal = 0,
    // No hint, click or metronome beat; typing is still counted.
    Quiet = 1,
    // Nothing counted anywhere, no hint, no sound.
    NotCounted = 2,
};

// The answers of SHQueryUserNotificationState that mean a full-screen program
// or a presentation.
constexpr int kNotificationBusy = 2;
constexpr int kNotificationFullScreenDirect3D = 3;
constexpr int kNotificationPresentation = 4;

// What the desktop shows at one moment; whatever was not asked for keeps its
// empty value and decides nothing.
struct DesktopFacts {
    bool paused = false;

    // The foreground window and the monitor it is on; empty rectangles when
    // there is no foreground window.
    RECT foreground{};
    RECT monitor{};
    // The desktop or the taskbar covers its monitor without being a program
    // the user works in.
    bool shellWindow = false;
    // A maximized window with a title bar: on a monitor without a taskbar
    // its frame reaches past the monitor, yet it is an ordinary window.
    bool framedMaximized = false;
    // SHQueryUserNotificationState's answer; 0 when unknown.
    int notificationState = 0;

    // File name of the foreground window's program ("game.exe"), and the
    // programs the user told Keywhirl to ignore.
    std::wstring program;
    const std::vector<std::wstring>* ignoredPrograms = nullptr;

    // Window class and style of the control that has the keyboard focus in
    // the foreground thread; an empty class when unknown.
    std::wstring focusedClass;
    LONG focusedStyle = 0;
};

QuietLevel decideQuiet(const DesktopFacts& facts);

// The higher of two levels.
inline QuietLevel strictest(QuietLevel a, QuietLevel b) {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

// Whether the foreground window covers its whole monitor as a full-screen
// program does.
bool coversMonitor(const DesktopFacts& facts);
// Whether the focused control is an edit control that hides its text.
bool isPasswordField(const std::wstring& windowClass, LONG style);
// Program names compare without regard to case; blanks around them do not count.
bool isProgramIgnored(const std::wstring& program, const std::vector<std::wstring>& ignored);
// The file name at the end of a path ("C:\Games\game.exe" gives "game.exe").
std::wstring programFileName(const std::wstring& path);

} // namespace keywhirl
