// src/keyboard/KeyboardDlg.cpp
#include "keyboard/KeyboardDlg.h"

#include "ui/AppMessages.h"
#include "app/TrayMenu.h"
#include "keyboard/BitmapRegion.h"
#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"
#include "keyboard/NamedKeys.h"
#include "keyboard/ShowWindowSafely.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "ui/Desktop.h"
#include "ui/PlacedMessageBox.h"
#include "weakkeys/WeakKeyTint.h"

#include <commctrl.h>
#include <windowsx.h>

namespace keywhirl {

namespace {

constexpr long kNoPosition = Settings::NoPosition;
constexpr unsigned kFadeDuration = 100;
constexpr int kButtonSize = 11;
constexpr int kButtonTop = 15;
constexpr int kCloseButtonFromRight = 52;
constexpr int kMinimizeButtonFromRight = 33;
// The tray corner that the caption animation runs to and from.
constexpr int kTrayFromRight = 128;

Settings& settings() {
    return *Settings::instance();
}

BYTE configuredOpacity() {
    return settings().keyboardOpacity.load(std::memory_order_relaxed);
}

} // namespace

KeyboardDlg::KeyboardDlg() : paintedOnce(false), shown(false) {}

KeyboardDlg::~KeyboardDlg() {
    // The fader's thread calls the finish listener; it ends before either goes.
    fader.stopAndWait();
    HWND window = handle();
    if (window && ::IsWindow(window) &&
        ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId())
        ::DestroyWindow(window);
}

void KeyboardDlg::addCommand(commands::Command* command) {
    commands.push_back(command);
}

bool KeyboardDlg::create(HWND owner) {
    // A missing picture closes the keyboard during its initialisation; the
    // platform may still hand back the handle of the window it destroyed.
    return createModeless(IDD_KEYBOARD_DIALOG, owner) && exists();
}

std::wstring KeyboardDlg::backgroundPath() {
    return getKeyboardPictureFile();
}

// ---------------------------------------------------------------------------
// Requests from the dispatcher thread (and some from the main thread)

void KeyboardDlg::startFade(bool show) {
    HWND window = handle();
    if (!window || !::IsWindow(window))
        return;
    if (show) {
        if (!::IsWindowVisible(window) &&
            settings().keyboardFollowsTyping.load(std::memory_order_relaxed))
            followTyping(window);
        showWindowSafely(window, SW_SHOWNOACTIVATE);
        putOnTopSafely(window);
        // The hint shows the tint as the record stands now.
        if (weakKeysShown())
            invalidate(false);
    }
    fader.setFadingIn(show);
    fader.resume();
}

void KeyboardDlg::followTyping(HWND window) {
    HWND foreground = ::GetForegroundWindow();
    DWORD process = 0;
    if (!foreground || ::IsIconic(foreground))
        return;
    // Our own windows (a dialog, the statistics) are not where the user types.
    ::GetWindowThreadProcessId(foreground, &process);
    if (process == ::GetCurrentProcessId())
        return;
    RECT typedIn, windowRect;
    if (!::GetWindowRect(foreground, &typedIn) || !::GetWindowRect(window, &windowRect))
        return;
    ui::Desktop::Anchor place;
    {
        utils::Lock lock(anchorLock);
        place = anchor;
    }
    const RECT placed = ui::Desktop::current().placeForTyping(windowRect, typedIn, place);
    if (::EqualRect(&placed, &windowRect))
        return;
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    // Queued before the show, so the window shows at its new place.
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        flags |= SWP_ASYNCWINDOWPOS;
    ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0, flags);
}

void KeyboardDlg::keepAnchor() {
    RECT windowRect;
    if (!getRect(windowRect))
        return;
    const ui::Desktop desktop = ui::Desktop::current();
    const ui::Desktop::Monitor* monitor = desktop.nearest(windowRect);
    if (!monitor)
        return;
    utils::Lock lock(anchorLock);
    anchor = ui::Desktop::anchorIn(windowRect, monitor->work);
}

void KeyboardDlg::hideToTray() {
    HWND window = handle();
    if (!window || !::IsWindowVisible(window))
        return;
    // A fade under way would bring the hidden window's alpha back up.
    fader.halt();
    fader.setRange(fader.getLow(), fader.getHigh(), fader.getLow());
    showWindowSafely(window, SW_HIDE);
    animateTray(true);
}

void KeyboardDlg::restoreFromTray() {
    HWND window = handle();
    if (!window || ::IsWindowVisible(window))
        return;
    animateTray(false);
    showWindowSafely(window, SW_SHOWNOACTIVATE);
    putOnTopSafely(window);
    if (weakKeysShown())
        invalidate(false);
    fader.halt();
    // Always the full opacity: a fade-out may have left a window that was
    // never painted at alpha 0.
    fader.setRange(fader.getLow(), fader.getHigh(), fader.getHigh());
}

void KeyboardDlg::setLayout(HKL layout) {
    KeyInfoWrapper relabelled = drawer.getLastEvent();
    relabelled.setKeyboardLayout(layout);
    drawer.onKey(relabelled);
    if (exists())
        invalidate(false);
}

void KeyboardDlg::onKey(const KeyInfoWrapper& event) {
    bool changed = drawer.onKey(event);
    // A typing key press may change the tint of a shown keyboard; the paint
    // comes after the dispatcher has recorded the press.
    if (!changed && shown && !event.isKeyUp() && !event.isModifier() && weakKeysShown())
        changed = true;
    if (changed && exists())
        invalidate(false);
}

void KeyboardDlg::animateTray(bool towardsTray) {
    HWND window = handle();
    if (!window)
        return;
    RECT windowRect;
    ::GetWindowRect(window, &windowRect);
    int trayX = ::GetSystemMetrics(SM_CXSCREEN) - kTrayFromRight;
    int trayY = ::GetSystemMetrics(SM_CYSCREEN);
    RECT tray = {trayX, trayY, trayX, trayY};
    if (towardsTray)
        ::DrawAnimatedRects(window, IDANI_CAPTION, &windowRect, &tray);
    else
        ::DrawAnimatedRects(window, IDANI_CAPTION, &tray, &windowRect);
}

// ---------------------------------------------------------------------------
// Initialisation

bool KeyboardDlg::onInitDialog() {
    bindControls();
    if (!loadBackground())
        return false;
    placeWindow();
    initFader();
    initSkins();
    createTooltip();
    invalidate(false);
    // No focus for any control: the keyboard is a picture, never a place to
    // type, and a hidden window must not become the active one.
    return false;
}

void KeyboardDlg::bindControls() {
    closeButton.subclassItem(handle(), IDC_KEYBOARD_CLOSE);
    minimizeButton.subclassItem(handle(), IDC_KEYBOARD_MINIMIZE);
}

bool KeyboardDlg::loadBackground() {
    std::wstring path = backgroundPath();
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) {
        reportMissingBackground(path);
        return false;
    }
    setBackground(bitmap);
    return true;
}

void KeyboardDlg::reportMissingBackground(const std::wstring& path) {
    hideToTray();
    ResourceBundle messages = LocalizationManager::instance()->getBundle(L"Messages");
    std::wstring message = messages.getString(L"Error.cannotFindKeyboardBackground") + L"\n" + path;
    std::wstring closing = messages.getString(L"Error.keywhirlWillClose");
    if (!closing.empty())
        message += L"\n" + closing;
    // Topmost, so that it stands above the start-up picture.
    ui::PlacedMessageBox::show(handle(), message, kProductName, MB_OK | MB_ICONERROR | MB_TOPMOST);
    // Without its picture the keyboard cannot work; the close command ends
    // the program.
    runCommands<commands::CloseKeyboardCommand>();
}

void KeyboardDlg::setBackground(HBITMAP bitmap) {
    background.reset(bitmap);
    composed.reset();
    BITMAP size = {};
    ::GetObjectW(bitmap, sizeof size, &size);
    int width = size.bmWidth;
    int height = size.bmHeight;

    RECT windowRect;
    getRect(windowRect);
    move(windowRect.left, windowRect.top, width, height, false);

    {
        utils::WindowDc client(handle());
        utils::UniqueRegion shape = createRegionWithoutKeyColour(client.get(), bitmap);
        // Once set, the region belongs to the window.
        if (shape && ::SetWindowRgn(handle(), shape.get(), TRUE))
            shape.release();
    }

    struct Placement {
        CxSkinButton& button;
        int fromRight;
    };
    for (const Placement& place : {Placement{closeButton, kCloseButtonFromRight},
                                   Placement{minimizeButton, kMinimizeButtonFromRight}}) {
        if (!place.button.exists())
            continue;
        place.button.setPosition(nullptr, width - place.fromRight, kButtonTop, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void KeyboardDlg::placeWindow() {
    long x = settings().keyboardPosX.load(std::memory_order_relaxed);
    long y = settings().keyboardPosY.load(std::memory_order_relaxed);
    RECT windowRect;
    getRect(windowRect);
    const LONG width = windowRect.right - windowRect.left;
    const LONG height = windowRect.bottom - windowRect.top;
    const ui::Desktop desktop = ui::Desktop::current();
    RECT placed;
    if (x == kNoPosition || y == kNoPosition)
        placed = desktop.centredAt(POINT{0, 0}, SIZE{width, height});
    else
        // A place saved on a larger screen, or on a monitor that is gone,
        // comes wholly into a work area.
        placed = desktop.keepInside(RECT{x, y, x + width, y + height});
    move(static_cast<int>(placed.left), static_cast<int>(placed.top), width, height, true);
    keepAnchor();
}

void KeyboardDlg::initFader() {
    fader.attach(handle());
    BYTE opacity = configuredOpacity();
    fader.setRange(0, opacity, opacity);
    fader.setDuration(kFadeDuration);
    if (!finishListener) {
        finishListener = std::make_unique<OpacityFinish>(this);
        fader.addListener(finishListener.get());
    }
    fader.start();
}

void KeyboardDlg::initSkins() {
    closeButton.setSkin(IDB_BAR_NORMAL, IDB_BAR_PRESSED, IDB_BAR_OVER);
    minimizeButton.setSkin(IDB_CROSS_NORMAL, IDB_CROSS_PRESSED, IDB_CROSS_OVER);
    for (CxSkinButton* button : {&closeButton, &minimizeButton})
        if (button->exists())
            button->setPosition(nullptr, 0, 0, kButtonSize, kButtonSize,
                                SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// Messages

bool KeyboardDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_LBUTTONDOWN:
        onLeftButtonDown(static_cast<UINT>(wParam),
                         POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        result = 0;
        return true;
    case WM_PAINT:
        paintKeyboard();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        // The paint covers the whole client area.
        result = TRUE;
        return true;
    case WM_SHOWWINDOW:
        shown = wParam != FALSE;
        // A hidden keyboard keeps only its picture; the labelled copy is
        // drawn again, in a millisecond or two, when it shows next.
        if (!wParam)
            forgetComposedPicture();
        return false;
    case WM_CONTEXTMENU:
        showContextMenu();
        result = 0;
        return true;
    case WM_CLOSE:
        runCommands<commands::CloseKeyboardCommand>();
        result = 0;
        return true;
    case WM_EXITSIZEMOVE:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // After a drag that ends partly off the screens, and when a screen
        // or the taskbar changes, the keyboard comes wholly into a work area.
        if (message == WM_EXITSIZEMOVE || ui::Desktop::changesWorkAreas(message, wParam))
            ui::Desktop::keepWindowInside(handle());
        // Where the user drops it is its place on every monitor.
        if (message == WM_EXITSIZEMOVE)
            keepAnchor();
        return false;
    case kSetKeyboardOpacityMessage:
        onSetOpacity(wParam);
        result = 0;
        return true;
    case WM_NOTIFY:
        onTooltipText(reinterpret_cast<NMHDR*>(lParam));
        return false;
    default:
        return false;
    }
}

bool KeyboardDlg::onCommand(int id, int code, HWND) {
    if (id == IDC_KEYBOARD_MINIMIZE && code == BN_CLICKED) {
        runCommands<commands::MinimizeKeyboardCommand>();
        return true;
    }
    return false;
}

template <typename CommandType> void KeyboardDlg::runCommands() {
    // A copy: a command may end this window and everything it holds.
    std::vector<commands::Command*> toRun = commands;
    for (commands::Command* command : toRun)
        if (dynamic_cast<CommandType*>(command))
            command->execute();
}

void KeyboardDlg::onLeftButtonDown(UINT, POINT) {
    // A click also brings the labels up to the layout the main thread
    // activated last.
    setLayout(::GetKeyboardLayout(0));
    send(WM_LBUTTONUP, 0, 0);
    send(WM_SYSCOMMAND, kMoveByCaption, 0);
}

std::vector<int>
KeyboardDlg::tintLevels(const std::vector<KeyboardDrawer::KeyLabel>& labels) const {
    std::vector<int> levels;
    const WeakKeyRecorder* record = weakKeys.load();
    if (!record || !weakKeysShown())
        return levels;
    std::vector<unsigned> scanCodes;
    scanCodes.reserve(labels.size());
    for (const KeyboardDrawer::KeyLabel& key : labels)
        scanCodes.push_back(key.scanCode);
    return WeakKeyTint::levels(*record, scanCodes);
}

void KeyboardDlg::composePicture(HDC dc, const RECT& client,
                                 const std::vector<KeyboardDrawer::KeyLabel>& labels, bool tint,
                                 const std::vector<int>& levels,
                                 const std::vector<std::wstring>& keyNames,
                                 unsigned heldKeys) const {
    if (background) {
        utils::UniqueMemoryDc picture(::CreateCompatibleDC(dc));
        utils::SelectedObject selected(picture.get(), background.get());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, picture.get(), 0, 0, SRCCOPY);
    } else {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    NamedKeys::draw(dc, keyNames, heldKeys);
    if (!tint) {
        KeyboardDrawer::drawLabels(dc, labels);
        return;
    }
    std::vector<KeyRect> cells;
    cells.reserve(labels.size());
    for (const KeyboardDrawer::KeyLabel& key : labels)
        cells.push_back(key.cell);
    WeakKeyTint::paintCells(dc, cells, levels);
    WeakKeyTint::paintLegend(dc, WeakKeyTint::legendArea(client.right),
                             LocalizationManager::instance()->getBundle(L"WeakKeys"));
    COLORREF tintedColours[3];
    for (int kind = 0; kind < 3; ++kind)
        tintedColours[kind] = WeakKeyTint::labelColour(kind);
    KeyboardDrawer::drawLabels(dc, labels, tintedColours);
}

std::vector<std::wstring> KeyboardDlg::namedKeyTexts() {
    // Read at each paint: the interface language may have changed since.
    return NamedKeys::namesFrom(LocalizationManager::instance()->getBundle(L"Keyboard"));
}

void KeyboardDlg::drawPicture(HDC dc, const RECT& client) const {
    std::vector<KeyboardDrawer::KeyLabel> labels = drawer.currentLabels();
    std::vector<int> levels = tintLevels(labels);
    composePicture(dc, client, labels, weakKeysShown(), levels, namedKeyTexts(),
                   drawer.heldNamedKeys());
}

void KeyboardDlg::paintKeyboard() {
    HWND window = handle();
    utils::PaintDc paint(window);
    RECT client;
    getClientRect(client);
    utils::WindowDc target(window);
    utils::UniqueMemoryDc memory(::CreateCompatibleDC(target.get()));

    // Picture and labels are composed in memory and copied to the window in
    // one go; the composition is kept until the labels or the tint change,
    // since the window is repainted far more often than that.
    std::vector<KeyboardDrawer::KeyLabel> labels = drawer.currentLabels();
    const bool tint = weakKeysShown();
    std::vector<int> levels = tintLevels(labels);
    std::vector<std::wstring> keyNames = namedKeyTexts();
    const unsigned heldKeys = drawer.heldNamedKeys();
    if (tooltip && tooltipActive != tint) {
        ::SendMessageW(tooltip, TTM_ACTIVATE, tint, 0);
        tooltipActive = tint;
    }
    BITMAP size = {};
    if (composed)
        ::GetObjectW(composed.get(), sizeof size, &size);
    bool sizeChanged = size.bmWidth != client.right || size.bmHeight != client.bottom;
    if (!composed || sizeChanged || labels != composedLabels || tint != composedTint ||
        levels != composedLevels || keyNames != composedKeyNames || heldKeys != composedHeldKeys) {
        if (!composed || sizeChanged)
            composed.reset(::CreateCompatibleBitmap(target.get(), client.right, client.bottom));
        utils::SelectedObject into(memory.get(), composed.get());
        composePicture(memory.get(), client, labels, tint, levels, keyNames, heldKeys);
        composedLabels = std::move(labels);
        composedKeyNames = std::move(keyNames);
        composedHeldKeys = heldKeys;
        composedTint = tint;
        composedLevels = std::move(levels);
    }
    if (composed) {
        utils::SelectedObject from(memory.get(), composed.get());
        ::BitBlt(target.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    // The buttons paint themselves over the picture.
    closeButton.invalidate(false);
    minimizeButton.invalidate(false);
    paintedOnce = true;
}

void KeyboardDlg::showContextMenu() {
    // The owner (the main window) carries out the chosen command, exactly
    // as from the tray icon.
    showTrayMenu(parent() ? parent() : handle(), handle());
}

void KeyboardDlg::onSetOpacity(WPARAM opacity) {
    BYTE newOpacity = static_cast<BYTE>(opacity & 0xFF);
    BYTE low = fader.getLow();
    BYTE alpha = fader.getAlpha();
    // A transparent keyboard stays transparent; later fades end at the new value.
    if (alpha != low)
        alpha = newOpacity;
    fader.setRange(low, newOpacity, alpha);
}

// ---------------------------------------------------------------------------
// Weak keys

void KeyboardDlg::setWeakKeys(const WeakKeyRecorder* record) {
    weakKeys = record;
    if (exists())
        invalidate(false);
}

bool KeyboardDlg::weakKeysShown() const {
    return weakKeys.load() && settings().showWeakKeys.load(std::memory_order_relaxed);
}

void KeyboardDlg::refreshWeakKeys() {
    if (exists())
        invalidate(false);
}

void KeyboardDlg::createTooltip() {
    if (tooltip)
        return;
    // A tooltip never takes the activation; it is owned by this window and
    // goes with it.
    tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltip)
        return;
    ::SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
    for (unsigned scanCode = KeyboardDrawer::kFirstScanCode;
         scanCode <= KeyboardDrawer::kLastScanCode; ++scanCode) {
        KeyRect cell = KeyboardDrawer::keyRectFor(scanCode);
        if (!cell.isValid())
            continue;
        TTTOOLINFOW tool = {};
        // The older structure: version 5 of the common controls refuses the
        // newer size.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = handle();
        tool.uId = scanCode;
        tool.rect = cell.toRECT();
        ++tool.rect.right;
        ++tool.rect.bottom;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageW(tooltip, TTM_ACTIVATE, FALSE, 0);
    tooltipActive = false;
}

std::wstring KeyboardDlg::weakKeyTooltip(unsigned scanCode) const {
    const WeakKeyRecorder* record = weakKeys.load();
    if (!record)
        return std::wstring();
    std::wstring label;
    for (const KeyboardDrawer::KeyLabel& key : composedLabels)
        if (key.scanCode == scanCode)
            label = key.label.text;
    std::wstring text =
        WeakKeyTint::tooltipText(record->counts(WeakKeyRecorder::keyIndex(scanCode, false)),
                                 LocalizationManager::instance()->getBundle(L"WeakKeys"));
    return label.empty() ? text : label + L"\r\n" + text;
}

void KeyboardDlg::onTooltipText(NMHDR* header) {
    if (!header || !tooltip || header->hwndFrom != tooltip || header->code != TTN_GETDISPINFOW)
        return;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    tooltipText = weakKeyTooltip(static_cast<unsigned>(info->hdr.idFrom));
    info->lpszText = &tooltipText[0];
}

void KeyboardDlg::onDestroy() {
    RECT windowRect;
    if (getRect(windowRect)) {
        settings().keyboardPosX = windowRect.left;
        settings().keyboardPosY = windowRect.top;
    }
    settings().keyboardIsVisible = shown.load();
    fader.stop();
    background.reset();
    forgetComposedPicture();
    tooltip = nullptr;
}

void KeyboardDlg::forgetComposedPicture() {
    composed.reset();
    composedLabels = {};
    composedLevels = {};
    composedKeyNames = {};
}

} // namespace keywhirl
