// src/settings/SettingsDlg.cpp
#include "settings/SettingsDlg.h"

#include "ui/AppMessages.h"
#include "localization/Locale.h"
#include "localization/LocalizationManager.h"
#include "settings/Settings.h"
#include "ui/Desktop.h"
#include "ui/DoubleBuffer.h"
#include "ui/IdText.h"
#include "ui/PlacedMessageBox.h"

#include "resource.h"

#include <commctrl.h>

#include <cwctype>
#include <iterator>

namespace keywhirl {

namespace {

// In ascending control id.
constexpr ui::IdText kControlTexts[] = {
    {IDOK, L"save"},
    {IDCANCEL, L"cancel"},
    {IDC_SETTINGS_OPAQUE_ON_HOVER, L"setOpaqueStatisticsOnHover"},
    {IDC_SETTINGS_WAIT_INTERVAL_LABEL, L"keyboardAutoPopupInterval"},
    {IDC_SETTINGS_METRONOME_FREQUENCY_LABEL, L"metronomeFrequency"},
    {IDC_SETTINGS_KEYBOARD_OPACITY_LABEL, L"keyboardOpacity"},
    {IDC_SETTINGS_STATISTICS_OPACITY_LABEL, L"statisticsOpacity"},
    {IDC_SETTINGS_LANGUAGE_LABEL, L"interfaceLanguage"},
    {IDC_SETTINGS_SPEED_UNIT_LABEL, L"speedUnit"},
    {IDC_SETTINGS_IGNORED_LABEL, L"ignoredPrograms"},
    {IDC_SETTINGS_IGNORED_REMOVE, L"removeIgnoredProgram"},
    {IDC_SETTINGS_FOLLOWS_TYPING, L"keyboardFollowsTyping"},
};

// The speed units in the order of their list, with their texts; a unit's
// place in the list is its value of the setting speedUnit.
constexpr const wchar_t* kSpeedUnitKeys[] = {L"speedUnit.symbols", L"speedUnit.words"};

constexpr int kMinOpacity = Settings::MinimumOpacity;
constexpr int kMaxOpacity = 255;

} // namespace

SettingsDlg::SettingsDlg(HWND keyboardWindow, HWND statisticsWindow)
    : keyboardWindow(keyboardWindow), statisticsWindow(statisticsWindow) {}

SettingsDlg::~SettingsDlg() = default;

INT_PTR SettingsDlg::run(HWND owner) {
    return runModal(IDD_SETTINGS_DIALOG, owner);
}

unsigned SettingsDlg::frequencyFromInterval(unsigned intervalMs) {
    if (intervalMs == 0)
        intervalMs = Settings::DefaultMetronomeInterval;
    return kMillisecondsPerMinute / intervalMs;
}

unsigned SettingsDlg::intervalFromFrequency(unsigned beatsPerMinute) {
    return beatsPerMinute == 0 ? Settings::DefaultMetronomeInterval
                               : kMillisecondsPerMinute / beatsPerMinute;
}

std::optional<unsigned> SettingsDlg::parsePositive(const std::wstring& text, unsigned max) {
    std::size_t position = 0;
    const auto skipBlanks = [&] {
        while (position < text.size() && std::iswspace(text[position]))
            ++position;
    };
    skipBlanks();
    unsigned long long value = 0;
    std::size_t digits = 0;
    for (; position < text.size() && text[position] >= L'0' && text[position] <= L'9';
         ++position, ++digits) {
        value = value * 10 + static_cast<unsigned>(text[position] - L'0');
        // Past max already: the rest cannot bring it back.
        if (value > max)
            return std::nullopt;
    }
    skipBlanks();
    if (digits == 0 || position != text.size() || value == 0)
        return std::nullopt;
    return static_cast<unsigned>(value);
}

bool SettingsDlg::onInitDialog() {
    setTexts();
    fitToBanner();

    Settings* settings = Settings::instance();
    const struct {
        int id;
        unsigned char opacity;
    } sliders[] = {
        {IDC_SETTINGS_KEYBOARD_OPACITY, settings->keyboardOpacity.load()},
        {IDC_SETTINGS_STATISTICS_OPACITY, settings->statisticsOpacity.load()},
    };
    for (const auto& slider : sliders) {
        const Window control(getItem(slider.id));
        control.send(TBM_SETRANGE, FALSE, MAKELPARAM(kMinOpacity, kMaxOpacity));
        control.send(TBM_SETPOS, TRUE, slider.opacity);
    }
    ::CheckDlgButton(handle(), IDC_SETTINGS_OPAQUE_ON_HOVER,
                     settings->setOpaqueStatisticsOnHover.load() ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(handle(), IDC_SETTINGS_FOLLOWS_TYPING,
                     settings->keyboardFollowsTyping.load() ? BST_CHECKED : BST_UNCHECKED);
    fillLanguages();
    fillSpeedUnits(settings->speedUnit.load());
    fillIgnoredPrograms();

    setItemText(IDC_SETTINGS_WAIT_INTERVAL, std::to_wstring(settings->keyboardWaitInterval.load()));
    setItemText(IDC_SETTINGS_METRONOME_FREQUENCY,
                std::to_wstring(frequencyFromInterval(settings->metronomeInterval.load())));
    return true;
}

void SettingsDlg::setTexts() {
    const ResourceBundle texts = LocalizationManager::instance()->getBundle(L"SettingsDialog");
    setText(texts.getString(L"title"));
    for (const ui::IdText& control : kControlTexts)
        setItemText(control.id, texts.getString(control.key));
}

void SettingsDlg::fitToBanner() {
    banner.reset(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(IDB_SETTINGS_BANNER),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP description{};
    RECT window{};
    getRect(window);
    int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (banner && ::GetObjectW(banner.get(), sizeof(description), &description) != 0) {
        bannerSize = {description.bmWidth, description.bmHeight};
        width = bannerSize.cx + 2 * ::GetSystemMetrics(SM_CXDLGFRAME);
    }
    // The main window, the usual owner, is hidden: centre on the work area
    // of the monitor of the tray icon the user clicked.
    const RECT placed = ui::Desktop::current().centredAt(
        ui::PlacedMessageBox::anchorPoint(parent()), SIZE{width, height});
    setPosition(nullptr, placed.left, placed.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDlg::fillLanguages() {
    LocalizationManager* manager = LocalizationManager::instance();
    const std::vector<LocalizationManager::Language> languages = manager->getLanguages();
    const std::wstring current = manager->getCurrentLocale().toString();
    const Window list(getItem(IDC_SETTINGS_LANGUAGE));
    languageCodes.clear();
    for (const auto& [name, code] : languages) {
        const LRESULT item = list.send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (item == CB_ERR || item == CB_ERRSPACE)
            continue;
        list.send(CB_SETITEMDATA, static_cast<WPARAM>(item), languageCodes.size());
        languageCodes.push_back(code);
    }
    // Selected once the list is complete: a later item sorted in front of
    // the selected one would move it.
    const LRESULT count = list.send(CB_GETCOUNT);
    for (LRESULT item = 0; item < count; ++item) {
        const auto index = static_cast<std::size_t>(list.send(CB_GETITEMDATA, item));
        if (index < languageCodes.size() && languageCodes[index] == current) {
            list.send(CB_SETCURSEL, static_cast<WPARAM>(item));
            break;
        }
    }
}

void SettingsDlg::fillSpeedUnits(unsigned current) {
    const ResourceBundle texts = LocalizationManager::instance()->getBundle(L"SettingsDialog");
    const Window list(getItem(IDC_SETTINGS_SPEED_UNIT));
    for (const wchar_t* key : kSpeedUnitKeys) {
        const std::wstring text = texts.getString(key);
        list.send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // An unknown value in the file shows as the first unit, which it means.
    list.send(CB_SETCURSEL, current < std::size(kSpeedUnitKeys) ? current : 0);
}

void SettingsDlg::fillIgnoredPrograms() {
    ignoredPrograms = Settings::instance()->ignoredPrograms;
    const Window list(getItem(IDC_SETTINGS_IGNORED_LIST));
    for (const std::wstring& program : ignoredPrograms)
        list.send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(program.c_str()));
    updateRemoveButton();
}

void SettingsDlg::removeIgnoredProgram() {
    const Window list(getItem(IDC_SETTINGS_IGNORED_LIST));
    const LRESULT selected = list.send(LB_GETCURSEL);
    if (selected == LB_ERR || static_cast<std::size_t>(selected) >= ignoredPrograms.size())
        return;
    ignoredPrograms.erase(ignoredPrograms.begin() + selected);
    list.send(LB_DELETESTRING, static_cast<WPARAM>(selected));
    // The next entry moves up into the selection, or the one before the last.
    const LRESULT count = list.send(LB_GETCOUNT);
    if (count > 0)
        list.send(LB_SETCURSEL, static_cast<WPARAM>(selected < count ? selected : count - 1));
    updateRemoveButton();
}

void SettingsDlg::updateRemoveButton() {
    const HWND list = getItem(IDC_SETTINGS_IGNORED_LIST);
    const HWND remove = getItem(IDC_SETTINGS_IGNORED_REMOVE);
    const bool chosen = Window(list).send(LB_GETCURSEL) != LB_ERR;
    // A disabled button keeps no focus: it goes to the list.
    if (!chosen && ::GetFocus() == remove)
        send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    ::EnableWindow(remove, chosen);
}

bool SettingsDlg::onCommand(int id, int code, HWND) {
    if (id == IDC_SETTINGS_IGNORED_REMOVE && code == BN_CLICKED) {
        removeIgnoredProgram();
        return true;
    }
    if (id == IDC_SETTINGS_IGNORED_LIST && code == LBN_SELCHANGE) {
        updateRemoveButton();
        return true;
    }
    return false;
}

int SettingsDlg::sliderPosition(int id) const {
    return static_cast<int>(Window(getItem(id)).send(TBM_GETPOS));
}

void SettingsDlg::sendOpacity(HWND target, UINT message, unsigned alpha) const {
    // The window may be closed, and 0 would make it vanish altogether.
    if (target == nullptr || !::IsWindow(target) || alpha == 0 || alpha > kMaxOpacity)
        return;
    ::SendMessageW(target, message, alpha, 0);
}

void SettingsDlg::onSliderMoved(HWND slider) {
    if (slider == nullptr)
        return;
    const int id = ::GetDlgCtrlID(slider);
    if (id == IDC_SETTINGS_KEYBOARD_OPACITY)
        sendOpacity(keyboardWindow, kSetKeyboardOpacityMessage, sliderPosition(id));
    else if (id == IDC_SETTINGS_STATISTICS_OPACITY)
        sendOpacity(statisticsWindow, kSetStatisticsOpacityMessage, sliderPosition(id));
}

void SettingsDlg::onOk() {
    const auto wait = parsePositive(getItemText(IDC_SETTINGS_WAIT_INTERVAL), kMaxWaitInterval);
    const auto frequency =
        parsePositive(getItemText(IDC_SETTINGS_METRONOME_FREQUENCY), kMaxFrequency);
    if (!wait || !frequency) {
        const std::wstring message = LocalizationManager::instance()
                                         ->getBundle(L"Messages")
                                         .getString(L"Error.enterPositiveNumber");
        // Not "Keywhirl": a second start looks for the main window by that
        // caption and must not find this box instead.
        ui::PlacedMessageBox::show(handle(), message, getText(), MB_OK | MB_ICONWARNING);
        const HWND wrong =
            getItem(!wait ? IDC_SETTINGS_WAIT_INTERVAL : IDC_SETTINGS_METRONOME_FREQUENCY);
        send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(wrong), TRUE);
        return;
    }

    Settings* settings = Settings::instance();
    settings->keyboardWaitInterval = *wait;
    settings->metronomeInterval = intervalFromFrequency(*frequency);
    settings->keyboardOpacity =
        static_cast<unsigned char>(sliderPosition(IDC_SETTINGS_KEYBOARD_OPACITY));
    settings->statisticsOpacity =
        static_cast<unsigned char>(sliderPosition(IDC_SETTINGS_STATISTICS_OPACITY));
    settings->setOpaqueStatisticsOnHover =
        ::IsDlgButtonChecked(handle(), IDC_SETTINGS_OPAQUE_ON_HOVER) == BST_CHECKED;
    settings->keyboardFollowsTyping =
        ::IsDlgButtonChecked(handle(), IDC_SETTINGS_FOLLOWS_TYPING) == BST_CHECKED;
    const LRESULT unit = Window(getItem(IDC_SETTINGS_SPEED_UNIT)).send(CB_GETCURSEL);
    if (unit != CB_ERR)
        settings->speedUnit = static_cast<unsigned>(unit);
    settings->ignoredPrograms = ignoredPrograms;
    sendOpacity(keyboardWindow, kSetKeyboardOpacityMessage, settings->keyboardOpacity);
    sendOpacity(statisticsWindow, kSetStatisticsOpacityMessage, settings->statisticsOpacity);

    const Window list(getItem(IDC_SETTINGS_LANGUAGE));
    const LRESULT selected = list.send(CB_GETCURSEL);
    if (selected != CB_ERR) {
        const auto index = static_cast<std::size_t>(list.send(CB_GETITEMDATA, selected));
        if (index < languageCodes.size())
            LocalizationManager::instance()->setLocale(Locale(languageCodes[index]));
    }
    endDialog(IDOK);
}

void SettingsDlg::onCancel() {
    // Takes back whatever the sliders showed.
    Settings* settings = Settings::instance();
    sendOpacity(keyboardWindow, kSetKeyboardOpacityMessage, settings->keyboardOpacity);
    sendOpacity(statisticsWindow, kSetStatisticsOpacityMessage, settings->statisticsOpacity);
    endDialog(IDCANCEL);
}

void SettingsDlg::paintBanner() {
    utils::PaintDc paintDc(handle());
    RECT client{};
    getClientRect(client);
    if (!banner)
        return;
    ui::DoubleBuffer buffer(paintDc.get(), client.right, bannerSize.cy);
    if (!buffer)
        return;
    const RECT area{0, 0, client.right, bannerSize.cy};
    ::FillRect(buffer.dc(), &area, ::GetSysColorBrush(COLOR_3DFACE));
    utils::UniqueMemoryDc bannerDc(::CreateCompatibleDC(paintDc.get()));
    {
        utils::SelectedObject selected(bannerDc.get(), banner.get());
        ::BitBlt(buffer.dc(), 0, 0, bannerSize.cx, bannerSize.cy, bannerDc.get(), 0, 0, SRCCOPY);
    }
    buffer.present();
}

bool SettingsDlg::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_HSCROLL:
        onSliderMoved(reinterpret_cast<HWND>(lParam));
        result = 0;
        return true;
    case WM_PAINT:
        // The background is erased as BeginPaint starts; the banner goes on top.
        paintBanner();
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace keywhirl
