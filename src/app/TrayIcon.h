// src/app/TrayIcon.h - the program's icon in the notification area.
#pragma once

#include <windows.h>

#include <string>

namespace keywhirl {

// Adds, removes and brings back the main window's tray icon. While the
// shell is still starting (at logon) it may refuse the icon: it is offered
// again every second for a minute, on a timer of the window's. When the
// shell restarts ("TaskbarCreated") the icon is added again.
class TrayIcon {
public:
    static constexpr UINT kRetryMilliseconds = 1000;
    static constexpr int kRetries = 60;

    // The icon stays owned by the caller and must outlive the tray icon.
    explicit TrayIcon(HICON icon) : icon(icon) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for the window; when the shell refuses, starts trying again.
    void show(HWND window);
    void remove();

    // The window's timer message; true when it was the tray icon's timer.
    bool onTimer(UINT_PTR timer);
    // A window message; true when it was the shell's "TaskbarCreated",
    // after which the icon is added again.
    bool onShellMessage(UINT message);

    bool isRetrying() const { return retriesLeft > 0; }

    // Shows another picture and tooltip (the paused look, and back); an
    // empty tip means the product name. Kept when the icon is added again.
    void change(HICON newIcon, const std::wstring& newTip);

private:
    bool add();
    const wchar_t* tipText() const;
    void retry();
    void stopRetrying();

    HICON icon;
    std::wstring tip;
    HWND window = nullptr;
    UINT taskbarCreated = 0;
    int retriesLeft = 0;
};

} // namespace keywhirl
