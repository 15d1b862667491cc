// src/statistics/StatisticsDlg.h - the small translucent window that shows the typing statistics.
#pragma once

#include "keyboard/CxSkinButton.h"
#include "keyboard/OpacityChanger.h"
#include "statistics/Monitor.h"
#include "statistics/StatisticsLayout.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// One row per monitor, title on the left and value on the right, under a
// "Keywhirl" header; repainted once a second. The window floats in the
// bottom right corner of the primary screen, can be dragged with the left
// button, turns opaque while the mouse rests on it (if the settings say
// so), offers the tray menu on a right click and hides itself with its
// close button, which also turns the setting showShortStatistics off.
//
// Use, all on the thread that owns the owner window:
//     StatisticsDlg statisticsDlg;               // no window yet
//     statisticsDlg.create(mainWindow);          // hidden, bottom right corner
//     for (Monitor* monitor : statistics.getMonitors())
//         statisticsDlg.addMonitor(monitor);
//     statisticsDlg.show(settings.showShortStatistics ? SW_SHOW : SW_HIDE);
//     ...
//     statisticsDlg.detachMonitors();            // at shutdown, before the monitors go
// The window goes with its owner; the object may outlive it.
//
// Messages from outside: kSetStatisticsOpacityMessage (ui/AppMessages.h)
// from the settings dialog; menu commands chosen in the right-click
// menu go to the owner as WM_COMMAND.
class StatisticsDlg : public keywhirl::ui::Dialog {
public:
    // Tells the window when the mouse leaves its close button, which the
    // window itself does not see as a move of the mouse.
    class ChildMouseMoveListener : public TrackMouseListener {
    public:
        explicit ChildMouseMoveListener(StatisticsDlg* statisticsDlg)
            : statisticsDlg(statisticsDlg) {}
        LRESULT onMouseLeave(WPARAM wParam, LPARAM lParam) override;

    private:
        StatisticsDlg* statisticsDlg;
    };

    static constexpr UINT kRefreshMilliseconds = 1000;
    static constexpr unsigned kFadeMilliseconds = 150;

    StatisticsDlg();
    ~StatisticsDlg() override;

    // Creates the hidden window from its template, owned by owner (the main
    // window, which also receives the commands of the right-click menu).
    // False when it could not be made or already exists.
    bool create(HWND owner);

    // Appends a row for monitor, which must outlive the row (see
    // detachMonitors), and lays the window out again in the bottom right
    // corner for the new number of rows. A null monitor is passed over.
    void addMonitor(keywhirl::Monitor* monitor);
    // Sizes, places and shapes the window for the present number of rows.
    void updateLayout();
    // Drops every row and stops the refresh, so the monitors may go; the
    // window stays until its owner is destroyed.
    void detachMonitors();
    // Lets the system move the window with the mouse until the button is released.
    virtual void startDrag();

    std::size_t monitorCount() const { return monitors.size(); }

    // Composes the whole picture for a client area of the given size into
    // dc, asking every monitor for its texts. WM_PAINT draws this off screen
    // and copies it in one go.
    void drawPicture(HDC dc, const RECT& client);

    // The texts of every row as the last picture showed them, title and value.
    struct Row {
        std::wstring title;
        std::wstring value;
    };
    const std::vector<Row>& lastPaintedRows() const { return paintedRows; }
    // The columns of the last picture: wide enough for every text painted
    // since the window was made, so a growing value never gets cut off and
    // the column does not jump back and forth.
    keywhirl::StatisticsLayout::Columns currentColumns() const { return columns; }

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    // Enter, Escape and a close request leave the window as it is.
    void onOk() override {}
    void onCancel() override {}
    void onDestroy() override;

private:
    void paint();
    void announceRows();
    void onMouseMove();
    void onMouseHover();
    LRESULT onMouseLeave(WPARAM wParam, LPARAM lParam);
    void setRestingOpacity(BYTE alpha);
    void closeToTray();
    void measureRows(HDC dc);
    // Makes the window wider for the columns, keeping its right edge.
    void widen();
    // Region and close button for layoutWidth.
    void shape();

    bool tracking = false;
    keywhirl::OpacityChanger fader;
    std::vector<keywhirl::Monitor*> monitors;
    keywhirl::CxSkinButton closeButton;
    std::unique_ptr<ChildMouseMoveListener> childListener;
    std::vector<Row> paintedRows;
    int widestTitle = 0;
    int widestValue = 0;
    keywhirl::StatisticsLayout::Columns columns = keywhirl::StatisticsLayout::kDefaultColumns;
    // The width the window has been laid out for.
    int layoutWidth = keywhirl::StatisticsLayout::kWidth;
};
