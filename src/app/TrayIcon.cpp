// src/app/TrayIcon.cpp
#include "app/TrayIcon.h"

#include "ui/AppMessages.h"

#include <shellapi.h>

namespace keywhirl {

namespace {
// The size of NOTIFYICONDATAW up to and including the item GUID.
constexpr DWORD kNotifyIconDataSize = 952;

NOTIFYICONDATAW iconData(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return data;
}
} // namespace

void TrayIcon::show(HWND owner) {
    window = owner;
    if (!taskbarCreated)
        taskbarCreated = ::RegisterWindowMessageW(kTaskbarCreatedMessageName);
    if (add())
        return;
    retriesLeft = kRetries;
    ::SetTimer(window, kTrayRetryTimer, kRetryMilliseconds, nullptr);
}

void TrayIcon::remove() {
    stopRetrying();
    if (!window)
        return;
    NOTIFYICONDATAW data = iconData(window);
    data.uFlags = NIF_ICON;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

bool TrayIcon::onTimer(UINT_PTR timer) {
    if (timer != kTrayRetryTimer)
        return false;
    retry();
    return true;
}

bool TrayIcon::onShellMessage(UINT message) {
    if (!window || message == 0 || message != taskbarCreated)
        return false;
    // Explorer restarted: its new notification area knows no icon.
    show(window);
    return true;
}

const wchar_t* TrayIcon::tipText() const {
    return tip.empty() ? kProductName : tip.c_str();
}

void TrayIcon::change(HICON newIcon, const std::wstring& newTip) {
    icon = newIcon;
    tip = newTip;
    if (!window || isRetrying())
        return;
    NOTIFYICONDATAW data = iconData(window);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = icon;
    ::lstrcpynW(data.szTip, tipText(), ARRAYSIZE(data.szTip));
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool TrayIcon::add() {
    NOTIFYICONDATAW data = iconData(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon;
    ::lstrcpynW(data.szTip, tipText(), ARRAYSIZE(data.szTip));
    return ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TrayIcon::retry() {
    // A shell that answers late may have taken the icon all the same; then
    // only a change finds it.
    NOTIFYICONDATAW data = iconData(window);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = icon;
    ::lstrcpynW(data.szTip, tipText(), ARRAYSIZE(data.szTip));
    bool present = ::Shell_NotifyIconW(NIM_MODIFY, &data) || add();
    if (present || --retriesLeft <= 0)
        stopRetrying();
}

void TrayIcon::stopRetrying() {
    retriesLeft = 0;
    if (window)
        ::KillTimer(window, kTrayRetryTimer);
}

} // namespace keywhirl
