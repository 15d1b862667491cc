// src/history/HistoryDlg.h - the typing history window: the last 30 days as a chart, and totals.
#pragma once

#include "history/HistoryView.h"
#include "history/TypingHistory.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <string>

// A normal window that the user opens from the tray menu, so it takes the
// focus and has a taskbar button. Bars give the symbols of each of the last
// 30 days (left scale), a line their average speed (right scale); today's
// band is highlighted and days without typing stay gaps. Below the chart:
// today, the last 7 and the last 30 days in figures, and a button that
// shows History.csv in Explorer. It is resizable; its size and place are
// kept in Keywhirl.ini when it closes.
//
// Use, on the thread that owns the owner window:
//     HistoryDlg historyDlg(typingHistory);
//     historyDlg.open(mainWindow);   // made on first use, then brought to the front
// The window goes with its owner; the object may outlive it.
class HistoryDlg : public keywhirl::ui::Dialog {
public:
    static constexpr UINT kRefreshMilliseconds = 2000;
    // On the statistics window's ground: the bars, today's bar and band, the speed line.
    static constexpr COLORREF kBarColour = RGB(44, 107, 181);
    static constexpr COLORREF kTodayBarColour = RGB(232, 128, 24);
    static constexpr COLORREF kTodayBandColour = RGB(255, 246, 204);
    static constexpr COLORREF kSpeedLineColour = RGB(178, 28, 58);

    explicit HistoryDlg(keywhirl::TypingHistory& history);
    ~HistoryDlg() override;

    // Creates the window if it does not exist, shows it restored where it
    // was last time and makes it the active window.
    bool open(HWND owner);
    // Reads the days again and repaints.
    void refresh();

    const keywhirl::HistoryView& view() const { return view_; }
    // The tooltip that explains each figure; null before the window exists.
    HWND tooltip() const { return tooltip_; }
    // Its tools: one per column of figures (1 to 5), and the chart.
    static constexpr UINT_PTR kChartTool = 6;
    // Composes the whole client picture for the given size into dc.
    void drawPicture(HDC dc, const RECT& client);

    // What Explorer is started with to show the file, or its folder when
    // there is no file yet.
    static std::wstring explorerArguments(const std::wstring& file, bool fileExists);

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    // Enter does nothing; Escape and the close box close the window.
    void onOk() override {}
    void onDestroy() override;
    // Starts Explorer; tests replace it.
    virtual void showInExplorer(const std::wstring& arguments);

private:
    void applyTexts();
    void createTooltip();
    // Puts each tool over the part of the window it explains.
    void placeTools();
    void placeWindow();
    void keepPlacement();
    void layoutControls();
    void paint();
    void minimumSize(MINMAXINFO& info) const;
    std::wstring figuresText() const;

    keywhirl::TypingHistory& history;
    keywhirl::HistoryView view_;
    // Owned by the window, which destroys it.
    HWND tooltip_ = nullptr;
};
