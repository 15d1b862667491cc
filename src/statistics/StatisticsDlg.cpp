// src/statistics/StatisticsDlg.cpp
#include "statistics/StatisticsDlg.h"

#include "ui/AppMessages.h"
#include "ui/Desktop.h"
#include "app/TrayMenu.h"
#include "keyboard/ShowWindowSafely.h"
#include "settings/Settings.h"
#include "statistics/PaletteGradient.h"
#include "statistics/StatisticsLayout.h"
#include "ui/DoubleBuffer.h"
#include "ui/Fonts.h"
#include "utils/Handles.h"

#include "resource.h"

using keywhirl::kMoveByCaption;
using keywhirl::kProductName;
using keywhirl::kSetStatisticsOpacityMessage;
using keywhirl::kStatisticsRefreshTimer;
using keywhirl::Monitor;
using keywhirl::Settings;
using keywhirl::StatisticsLayout;
namespace ui = keywhirl::ui;
namespace utils = keywhirl::utils;

namespace {

constexpr BYTE kOpaque = 255;
constexpr int kHeaderPoints10 = 110;
constexpr int kRowPoints10 = 80;
constexpr int kHeaderWeight = FW_BOLD;

// The same rounded outline as the window's region, which leaves out its right
// and bottom coordinates: laid out one pixel wider and higher than the client.
void frameOutline(HDC dc, const RECT& client) {
    utils::UniqueRegion outline(
        ::CreateRoundRectRgn(client.left, client.top, client.right + 1, client.bottom + 1,
                             StatisticsLayout::kCornerWidth, StatisticsLayout::kCornerHeight));
    ::FrameRgn(dc, outline.get(), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)), 1, 1);
}

} // namespace

LRESULT StatisticsDlg::ChildMouseMoveListener::onMouseLeave(WPARAM wParam, LPARAM lParam) {
    return statisticsDlg != nullptr ? statisticsDlg->onMouseLeave(wParam, lParam) : 0;
}

StatisticsDlg::StatisticsDlg() : childListener(std::make_unique<ChildMouseMoveListener>(this)) {}

StatisticsDlg::~StatisticsDlg() {
    // The button must not call a listener that is about to go, and the
    // window's last messages must still find the members alive.
    closeButton.setMouseListener(nullptr);
    if (exists())
        endDialog(IDCANCEL);
}

bool StatisticsDlg::create(HWND owner) {
    return createModeless(IDD_STATISTICS_DIALOG, owner);
}

bool StatisticsDlg::onInitDialog() {
    closeButton.subclassItem(handle(), IDC_STATISTICS_CLOSE);
    closeButton.setSkin(IDB_CROSS_NORMAL, IDB_CROSS_PRESSED, IDB_CROSS_OVER);
    RECT button;
    if (closeButton.getRectInParent(button))
        closeButton.move(button.left, button.top, StatisticsLayout::kCloseButtonSize,
                         StatisticsLayout::kCloseButtonSize, true);
    closeButton.setMouseListener(childListener.get());

    updateLayout();

    Settings& settings = *Settings::instance();
    const BYTE resting = settings.statisticsOpacity;
    fader.attach(handle());
    fader.setRange(resting, kOpaque, resting);
    fader.setDuration(kFadeMilliseconds);
    fader.setFadingIn(false);
    fader.start();

    invalidate(false);
    // The rows are refreshed only while the window is shown (WM_SHOWWINDOW):
    // a hidden window never wakes the program.
    if (::IsWindowVisible(handle()))
        setTimer(kStatisticsRefreshTimer, kRefreshMilliseconds);
    // A window that only shows figures takes no focus: giving it to the close
    // button would make the hidden window the active one, and Space would
    // then close it.
    return false;
}

void StatisticsDlg::addMonitor(Monitor* monitor) {
    if (monitor == nullptr)
        return;
    monitors.push_back(monitor);
    updateLayout();
}

void StatisticsDlg::updateLayout() {
    if (!exists())
        return;
    const int rows = static_cast<int>(monitors.size());
    layoutWidth = columns.width;
    const POINT corner = StatisticsLayout::windowCorner(
        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), rows, layoutWidth);
    const SIZE size = StatisticsLayout::windowSize(rows, layoutWidth);
    const RECT placed = ui::Desktop::current().keepInside(
        RECT{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy});
    move(placed.left, placed.top, size.cx, size.cy, true);
    shape();
}

void StatisticsDlg::shape() {
    const int rows = static_cast<int>(monitors.size());
    // The system owns the region once the window has it.
    utils::UniqueRegion outline(
        ::CreateRoundRectRgn(0, 0, layoutWidth, StatisticsLayout::layoutHeight(rows),
                             StatisticsLayout::kCornerWidth, StatisticsLayout::kCornerHeight));
    if (::SetWindowRgn(handle(), outline.get(), TRUE) != 0)
        outline.release();

    RECT button;
    const POINT corner = StatisticsLayout::closeButtonCorner(layoutWidth);
    if (closeButton.exists() && closeButton.getRectInParent(button))
        closeButton.move(corner.x, corner.y, button.right - button.left, button.bottom - button.top,
                         false);
}

void StatisticsDlg::widen() {
    RECT rect;
    if (!exists() || !getRect(rect))
        return;
    const int rows = static_cast<int>(monitors.size());
    const int growth = columns.width - layoutWidth;
    layoutWidth = columns.width;
    const SIZE size = StatisticsLayout::windowSize(rows, layoutWidth);
    // The right edge stays: in the corner of the screen the window grows inwards.
    move(rect.left - growth, rect.top, size.cx, size.cy, true);
    ui::Desktop::keepWindowInside(handle());
    shape();
    invalidate(false);
}

void StatisticsDlg::detachMonitors() {
    monitors.clear();
    paintedRows.clear();
    // Stopping the refresh here, rather than by faking a WM_DESTROY, leaves
    // the dialog manager's own clean-up to the real destruction.
    if (exists())
        killTimer(kStatisticsRefreshTimer);
}

void StatisticsDlg::startDrag() {
    send(WM_LBUTTONUP, 0, 0);
    send(WM_SYSCOMMAND, kMoveByCaption, 0);
}

void StatisticsDlg::onDestroy() {
    killTimer(kStatisticsRefreshTimer);
    // No more steps for a window that is going.
    fader.stopAndWait();
}

bool StatisticsDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        // The picture covers every pixel.
        result = TRUE;
        return true;
    case WM_TIMER:
        invalidate(false);
        return false;
    case WM_SHOWWINDOW:
        if (wParam) {
            keywhirl::putOnTopSafely(handle());
            invalidate(false);
            setTimer(kStatisticsRefreshTimer, kRefreshMilliseconds);
        } else {
            killTimer(kStatisticsRefreshTimer);
        }
        return false;
    case WM_EXITSIZEMOVE:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // Wholly in a work area after a drag and when a screen or the
        // taskbar changes.
        if (message == WM_EXITSIZEMOVE || ui::Desktop::changesWorkAreas(message, wParam))
            ui::Desktop::keepWindowInside(handle());
        return false;
    case WM_LBUTTONDOWN:
        startDrag();
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        onMouseMove();
        return false;
    case WM_MOUSEHOVER:
        onMouseHover();
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        result = onMouseLeave(wParam, lParam);
        return true;
    case WM_CONTEXTMENU:
        keywhirl::showTrayMenu(parent(), handle());
        result = 0;
        return true;
    case kSetStatisticsOpacityMessage:
        setRestingOpacity(static_cast<BYTE>(wParam & 0xFF));
        result = 0;
        return true;
    default:
        return false;
    }
}

bool StatisticsDlg::onCommand(int id, int code, HWND) {
    if (id != IDC_STATISTICS_CLOSE || code != BN_CLICKED)
        return false;
    closeToTray();
    return true;
}

void StatisticsDlg::closeToTray() {
    show(SW_HIDE);
    Settings::instance()->showShortStatistics = false;
    // Shown again, the window starts from its resting alpha.
    fader.setRange(fader.getLow(), fader.getHigh(), fader.getLow());
}

void StatisticsDlg::setRestingOpacity(BYTE alpha) {
    // An alpha of 0 would leave an invisible window that still takes clicks.
    if (alpha == 0)
        alpha = 1;
    fader.setRange(alpha, fader.getHigh(), alpha);
}

void StatisticsDlg::onMouseMove() {
    if (tracking)
        return;
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof request;
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = handle();
    request.dwHoverTime = 1;
    if (::TrackMouseEvent(&request))
        tracking = true;
}

void StatisticsDlg::onMouseHover() {
    if (!Settings::instance()->setOpaqueStatisticsOnHover)
        return;
    keywhirl::putOnTopSafely(handle());
    fader.setFadingIn(true);
    fader.resume();
}

LRESULT StatisticsDlg::onMouseLeave(WPARAM, LPARAM) {
    tracking = false;
    // Moving onto the close button also leaves the window's own area; the
    // button reports when the mouse leaves it in turn.
    if (closeButton.isMouseOver())
        return 0;
    fader.setFadingIn(false);
    fader.resume();
    return 0;
}

void StatisticsDlg::paint() {
    utils::PaintDc paintDc(handle());
    RECT client;
    if (paintDc.get() == nullptr || !getClientRect(client))
        return;
    ui::DoubleBuffer buffer(paintDc.get(), client.right - client.left, client.bottom - client.top);
    if (buffer) {
        drawPicture(buffer.dc(), client);
        buffer.present(client.left, client.top);
    }
    // The button draws itself again on top of the fresh picture.
    closeButton.invalidate(false);
    announceRows();
    if (columns.width > layoutWidth)
        widen();
}

void StatisticsDlg::announceRows() {
    // The window has no caption; its text carries what the rows show, one
    // "title<TAB>value" line each, for screen readers and other programs.
    std::wstring text;
    for (const Row& row : paintedRows)
        text += row.title + L"\t" + row.value + L"\r\n";
    if (text != getText())
        setText(text);
}

void StatisticsDlg::drawPicture(HDC dc, const RECT& client) {
    keywhirl::fillPaletteGradient(dc, client);
    frameOutline(dc, client);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    {
        utils::UniqueFont font = ui::createPointFont(dc, kHeaderPoints10, kHeaderWeight);
        utils::SelectedObject selected(dc, font.get());
        RECT box = StatisticsLayout::headerBox(layoutWidth);
        ::DrawTextW(dc, kProductName, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        ::MoveToEx(dc, StatisticsLayout::kRuleLeft, StatisticsLayout::kRuleY, nullptr);
        ::LineTo(dc, StatisticsLayout::ruleRight(layoutWidth), StatisticsLayout::kRuleY);
    }

    utils::UniqueFont font = ui::createPointFont(dc, kRowPoints10, FW_DONTCARE);
    utils::SelectedObject selected(dc, font.get());
    paintedRows.resize(monitors.size());
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        paintedRows[i].title = monitors[i]->getTitle();
        paintedRows[i].value = monitors[i]->getValue();
    }
    measureRows(dc);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Row& row = paintedRows[i];
        RECT titleBox = StatisticsLayout::titleBox(static_cast<int>(i), columns.valueLeft);
        RECT valueBox =
            StatisticsLayout::valueBox(static_cast<int>(i), columns.valueLeft, columns.width);
        // A title from a language file is drawn as it stands: an '&' is no
        // mnemonic prefix.
        ::DrawTextW(dc, row.title.c_str(), static_cast<int>(row.title.size()), &titleBox,
                    DT_NOPREFIX);
        ::DrawTextW(dc, row.value.c_str(), static_cast<int>(row.value.size()), &valueBox,
                    DT_NOPREFIX);
    }
}

void StatisticsDlg::measureRows(HDC dc) {
    auto widthOf = [dc](const std::wstring& text) {
        RECT box = {0, 0, 0, 0};
        // The same format as the drawing, so an ampersand counts as it shows.
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_CALCRECT | DT_NOPREFIX);
        return static_cast<int>(box.right - box.left);
    };
    for (const Row& row : paintedRows) {
        widestTitle = std::max(widestTitle, widthOf(row.title));
        widestValue = std::max(widestValue, widthOf(row.value));
    }
    columns = StatisticsLayout::fitColumns(widestTitle, widestValue);
}
