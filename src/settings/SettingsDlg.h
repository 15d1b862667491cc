// src/settings/SettingsDlg.h - the settings dialog: wait time, metronome rate, opacities, language.
#pragma once

#include "ui/Dialog.h"
#include "utils/Handles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace keywhirl {

// Edits keyboardWaitInterval, metronomeInterval (as beats per minute),
// keyboardOpacity, statisticsOpacity, setOpaqueStatisticsOnHover, the
// interface language, speedUnit and the list of ignored programs, which can
// lose entries here (they are added from the tray menu). Only OK writes them, into Settings and the
// LocalizationManager; the settings file itself is written at program end.
//
// While an opacity slider moves, the keyboard and statistics windows get
// their opacity message (ui/AppMessages.h) with the new alpha in wParam, as a
// preview; Cancel sends the stored values back. A window that is null or
// no longer exists gets nothing.
//
// Use, on the main thread:
//     SettingsDlg settingsDlg(keyboardWindow, statisticsWindow); // either may be null
//     settingsDlg.run(mainWindow);   // modal; IDOK when the settings were taken
class SettingsDlg : public ui::Dialog {
public:
    static constexpr unsigned kMillisecondsPerMinute = 60000;
    // The highest frequency that still gives a metronome interval of 1 ms.
    static constexpr unsigned kMaxFrequency = kMillisecondsPerMinute;
    static constexpr unsigned kMaxWaitInterval = 0x7FFFFFFF;

    SettingsDlg(HWND keyboardWindow, HWND statisticsWindow);
    ~SettingsDlg() override;

    // Modal, owned by owner. IDOK when the settings were taken, IDCANCEL
    // when not, -1 when the dialog could not be made.
    INT_PTR run(HWND owner);

    // Beats per minute shown for a stored interval in ms (integer division;
    // an interval of 0, which would divide by zero, counts as the default).
    static unsigned frequencyFromInterval(unsigned intervalMs);
    // The interval in ms stored for 1 to kMaxFrequency beats per minute.
    static unsigned intervalFromFrequency(unsigned beatsPerMinute);
    // The number in an edit's text when it is a whole number from 1 to max
    // (blanks around it allowed); nothing for an empty, non-numeric, zero or
    // too large text.
    static std::optional<unsigned> parsePositive(const std::wstring& text, unsigned max);

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onInitDialog() override;
    void onOk() override;
    void onCancel() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void fillIgnoredPrograms();
    void removeIgnoredProgram();
    void updateRemoveButton();
    void setTexts();
    void fitToBanner();
    void fillLanguages();
    void fillSpeedUnits(unsigned current);
    void onSliderMoved(HWND slider);
    void paintBanner();
    void sendOpacity(HWND target, UINT message, unsigned alpha) const;
    int sliderPosition(int id) const;

    HWND keyboardWindow;
    HWND statisticsWindow;
    utils::UniqueBitmap banner;
    SIZE bannerSize{};
    // The language list's item data indexes this list of codes: the list
    // is sorted by the languages' names, so positions say nothing.
    std::vector<std::wstring> languageCodes;
    // The ignored programs as the list shows them, in its order; OK stores them.
    std::vector<std::wstring> ignoredPrograms;
};

} // namespace keywhirl
