// src/app/TrayMenu.cpp
#include "app/TrayMenu.h"

#include "input/QuietDecision.h"
#include "input/QuietState.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/Settings.h"
#include "utils/Handles.h"
#include "ui/IdText.h"

#include <atomic>

namespace keywhirl {

namespace {

// In ascending order of command id, the order the texts are put in.
const ui::IdText kMenuTexts[] = {
    {ID_TRAY_EXIT, L"exit"},
    {ID_TRAY_AUTOPOPUP, L"autoPopup"},
    {ID_TRAY_ABOUT, L"aboutKeywhirl"},
    {ID_TRAY_METRONOME, L"metronome"},
    {ID_TRAY_SETTINGS, L"settings"},
    {ID_TRAY_KEYPRESS_SOUND, L"keypressSound"},
    {ID_TRAY_SHOW_STATISTICS, L"showShortStatistics"},
    {ID_TRAY_AUTORUN, L"autorun"},
    {ID_TRAY_HELP, L"help"},
    {ID_TRAY_WEAK_KEYS, L"weakKeys"},
    {ID_TRAY_RESET_WEAK_KEYS, L"resetWeakKeys"},
    {ID_TRAY_HISTORY, L"history"},
    {ID_TRAY_PAUSE, L"pause"},
};

struct MenuSwitch {
    UINT command;
    std::atomic<bool> Settings::*setting;
};

const MenuSwitch kMenuSwitches[] = {
    {ID_TRAY_AUTOPOPUP, &Settings::keyboardAutoPopupping},
    {ID_TRAY_METRONOME, &Settings::metronomeRunning},
    {ID_TRAY_KEYPRESS_SOUND, &Settings::enableKeyPressSound},
    {ID_TRAY_SHOW_STATISTICS, &Settings::showShortStatistics},
    {ID_TRAY_AUTORUN, &Settings::autoRun},
    {ID_TRAY_WEAK_KEYS, &Settings::showWeakKeys},
};

std::wstring& programToIgnore() {
    static std::wstring program;
    return program;
}

// Held from one showing to the next, and to the end of the program.
utils::UniqueMenu trayMenu;

// Converted once, at the first showing, and kept to the end of the program.
struct MenuBitmaps {
    utils::UniqueBitmap check, settings, help, about, exit;
};
MenuBitmaps menuBitmaps;

COLORREF systemColourFor(COLORREF colour) {
    switch (colour) {
    case RGB(0, 0, 0):
        return ::GetSysColor(COLOR_BTNTEXT);
    case RGB(128, 128, 128):
        return ::GetSysColor(COLOR_BTNSHADOW);
    case RGB(192, 192, 192):
        return ::GetSysColor(COLOR_MENU);
    case RGB(255, 255, 255):
        return ::GetSysColor(COLOR_BTNHIGHLIGHT);
    default:
        return colour;
    }
}

// A copy of a bitmap resource whose black, greys and white follow the
// system's menu colours.
HBITMAP loadMappedBitmap(int resourceId) {
    utils::UniqueBitmap loaded(
        ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId)));
    if (!loaded)
        return nullptr;
    BITMAP info = {};
    ::GetObjectW(loaded.get(), sizeof info, &info);

    utils::UniqueMemoryDc source(::CreateCompatibleDC(nullptr));
    utils::UniqueMemoryDc target(::CreateCompatibleDC(nullptr));
    HBITMAP mapped =
        ::CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!source || !target || !mapped)
        return mapped;
    utils::SelectedObject sourceSelection(source.get(), loaded.get());
    utils::SelectedObject targetSelection(target.get(), mapped);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            ::SetPixel(target.get(), x, y, systemColourFor(::GetPixel(source.get(), x, y)));
    return mapped;
}

void loadMenuBitmaps() {
    if (menuBitmaps.check)
        return;
    menuBitmaps.check.reset(loadMappedBitmap(IDB_MENU_CHECK));
    menuBitmaps.settings.reset(loadMappedBitmap(IDB_MENU_SETTINGS));
    menuBitmaps.help.reset(loadMappedBitmap(IDB_MENU_HELP));
    menuBitmaps.about.reset(loadMappedBitmap(IDB_MENU_ABOUT));
    menuBitmaps.exit.reset(loadMappedBitmap(IDB_MENU_EXIT));
}

// The item names the program; it is left out while there is none.
void prepareIgnoreItem(HMENU popup, const ResourceBundle& texts) {
    const std::wstring& program = programToIgnore();
    if (program.empty()) {
        ::DeleteMenu(popup, ID_TRAY_IGNORE_PROGRAM, MF_BYCOMMAND);
        return;
    }
    // A "&" in the name would underline the letter after it.
    std::wstring name;
    for (wchar_t c : program)
        name += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    std::wstring text = texts.getString(L"ignoreProgram");
    const std::size_t mark = text.find(L"%s");
    if (mark != std::wstring::npos)
        text.replace(mark, 2, name);
    ::ModifyMenuW(popup, ID_TRAY_IGNORE_PROGRAM, MF_BYCOMMAND | MF_STRING, ID_TRAY_IGNORE_PROGRAM,
                  text.c_str());
    ::SetMenuItemBitmaps(popup, ID_TRAY_IGNORE_PROGRAM, MF_BYCOMMAND, nullptr,
                         menuBitmaps.check.get());
    const bool ignored = isProgramIgnored(program, Settings::instance()->ignoredPrograms);
    ::CheckMenuItem(popup, ID_TRAY_IGNORE_PROGRAM,
                    MF_BYCOMMAND | (ignored ? MF_CHECKED : MF_UNCHECKED));
}

void prepareTrayMenu(HMENU popup) {
    ResourceBundle texts = LocalizationManager::instance()->getBundle(L"MainMenu");
    for (const ui::IdText& item : kMenuTexts)
        ::ModifyMenuW(popup, item.id, MF_BYCOMMAND | MF_STRING, item.id,
                      texts.getString(item.key).c_str());

    loadMenuBitmaps();
    for (const MenuSwitch& item : kMenuSwitches)
        ::SetMenuItemBitmaps(popup, item.command, MF_BYCOMMAND, nullptr, menuBitmaps.check.get());
    ::SetMenuItemBitmaps(popup, ID_TRAY_SETTINGS, MF_BYCOMMAND, menuBitmaps.settings.get(),
                         menuBitmaps.settings.get());
    ::SetMenuItemBitmaps(popup, ID_TRAY_HELP, MF_BYCOMMAND, menuBitmaps.help.get(),
                         menuBitmaps.help.get());
    ::SetMenuItemBitmaps(popup, ID_TRAY_ABOUT, MF_BYCOMMAND, menuBitmaps.about.get(),
                         menuBitmaps.about.get());
    ::SetMenuItemBitmaps(popup, ID_TRAY_EXIT, MF_BYCOMMAND, menuBitmaps.exit.get(),
                         menuBitmaps.exit.get());

    Settings* settings = Settings::instance();
    for (const MenuSwitch& item : kMenuSwitches) {
        bool on = (settings->*item.setting).load(std::memory_order_relaxed);
        ::CheckMenuItem(popup, item.command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
    ::SetMenuItemBitmaps(popup, ID_TRAY_PAUSE, MF_BYCOMMAND, nullptr, menuBitmaps.check.get());
    ::CheckMenuItem(popup, ID_TRAY_PAUSE,
                    MF_BYCOMMAND | (QuietState::current().isPaused() ? MF_CHECKED : MF_UNCHECKED));
    prepareIgnoreItem(popup, texts);
}

} // namespace

void setIgnorableProgram(const std::wstring& program) {
    programToIgnore() = program;
}

const std::wstring& ignorableProgram() {
    return programToIgnore();
}

HMENU buildTrayMenu() {
    trayMenu.reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    if (!trayMenu)
        return nullptr;
    HMENU popup = ::GetSubMenu(trayMenu.get(), 0);
    if (popup)
        prepareTrayMenu(popup);
    return popup;
}

void showTrayMenu(HWND mainWindow, HWND openedFrom) {
    HMENU popup = buildTrayMenu();
    POINT cursor;
    if (!popup || !mainWindow || !::GetCursorPos(&cursor))
        return;
    if (openedFrom) {
        UINT command = static_cast<UINT>(::TrackPopupMenu(
            popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, mainWindow, nullptr));
        ::PostMessageW(openedFrom, WM_NULL, 0, 0);
        if (command != 0)
            ::SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return;
    }
    HWND previous = ::GetForegroundWindow();
    ::SetForegroundWindow(mainWindow);
    UINT command =
        static_cast<UINT>(::TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                           cursor.x, cursor.y, 0, mainWindow, nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    ::PostMessageW(mainWindow, WM_NULL, 0, 0);
    bool opensWindow = command == ID_TRAY_SETTINGS || command == ID_TRAY_ABOUT ||
                       command == ID_TRAY_HELP || command == ID_TRAY_RESET_WEAK_KEYS ||
                       command == ID_TRAY_HISTORY;
    if (!opensWindow && previous && previous != mainWindow && ::IsWindow(previous) &&
        ::IsWindowVisible(previous) && ::GetForegroundWindow() == mainWindow)
        ::SetForegroundWindow(previous);
    if (command != 0)
        ::SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

} // namespace keywhirl
