// src/history/HistoryDlg.cpp
#include "history/HistoryDlg.h"

#include "history/HistoryLayout.h"
#include "history/HistoryWindowPlacement.h"
#include "localization/LocalizationManager.h"
#include "settings/Settings.h"
#include "statistics/PaletteGradient.h"
#include "statistics/SpeedUnit.h"
#include "ui/AppMessages.h"
#include "ui/Desktop.h"
#include "ui/DoubleBuffer.h"
#include "ui/Fonts.h"
#include "ui/PlacedMessageBox.h"
#include "utils/Handles.h"

#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

using keywhirl::CalendarDate;
using keywhirl::DayRecord;
using keywhirl::HistoryLayout;
using keywhirl::HistoryView;
using keywhirl::HistoryWindowPlacement;
using keywhirl::Settings;
namespace ui = keywhirl::ui;
namespace utils = keywhirl::utils;

namespace {

constexpr int kTextPoints10 = 80;
constexpr int kHeadingPoints10 = 85;

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(120, 170, 205);
constexpr COLORREF kBar = HistoryDlg::kBarColour;
constexpr COLORREF kTodayBar = HistoryDlg::kTodayBarColour;
constexpr COLORREF kTodayBand = HistoryDlg::kTodayBandColour;
constexpr COLORREF kSpeedLine = HistoryDlg::kSpeedLineColour;
constexpr int kGridSteps = 4;

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    utils::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

void drawText(HDC dc, const std::wstring& text, RECT box, UINT format) {
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
}

// The rectangle the text takes when drawn into box with format.
RECT measureText(HDC dc, const std::wstring& text, RECT box, UINT format) {
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                format | DT_NOPREFIX | DT_CALCRECT);
    return box;
}

std::wstring number(std::uint64_t value) {
    return std::to_wstring(value);
}

// A whole number with the thousands separator of the user's locale.
std::wstring groupedNumber(std::uint64_t value) {
    const std::wstring digits = std::to_wstring(value);
    wchar_t thousand[8] = L",";
    wchar_t decimal[8] = L".";
    wchar_t grouping[16] = L"3;0";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
    // "3;0" is 3, "3;2;0" is 32, "3" alone is 30.
    UINT groups = 0;
    std::wstring pattern = grouping;
    const bool repeats = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, L";0") == 0;
    if (repeats)
        pattern.erase(pattern.size() - 2);
    for (wchar_t c : pattern)
        if (c >= L'0' && c <= L'9')
            groups = groups * 10 + UINT(c - L'0');
    if (!repeats)
        groups *= 10;
    NUMBERFMTW format = {};
    format.Grouping = groups;
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.LeadingZero = 1;
    format.NegativeOrder = 1;
    wchar_t text[64] = {};
    if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, text, 64) == 0)
        return digits;
    return text;
}

std::wstring statisticsText(const wchar_t* key) {
    return keywhirl::LocalizationManager::instance()->getBundle(L"Statistics").getString(key);
}

std::wstring historyText(const wchar_t* key) {
    return keywhirl::LocalizationManager::instance()->getBundle(L"History").getString(key);
}

// A speed in symbols per minute, shown in the unit the settings choose.
std::wstring speedText(unsigned symbolsPerMinute) {
    const keywhirl::SpeedUnit unit = keywhirl::SpeedUnits::current();
    return number(keywhirl::SpeedUnits::convert(symbolsPerMinute, unit)) +
           statisticsText(keywhirl::SpeedUnits::unitKey(unit));
}

// The five figures of a span, as the table shows them.
std::wstring figure(const DayRecord& span, int column, bool grouped = false) {
    switch (column) {
    case 1:
        return grouped ? groupedNumber(span.symbols) : number(span.symbols);
    case 2:
        return speedText(span.averageSpeed());
    case 3:
        return speedText(span.bestMinuteSpeed());
    case 4:
        return number(span.effectiveness()) + statisticsText(L"effectiveness.unit");
    default:
        return number(span.evenness()) + statisticsText(L"rhythm.unit");
    }
}

const wchar_t* const kColumnKeys[] = {nullptr,      L"symbols",       L"averageSpeed",
                                      L"bestSpeed", L"effectiveness", L"evenness"};
const wchar_t* const kSpanKeys[] = {L"today", L"last7Days", L"last30Days"};
// What each tooltip says: the columns of figures, then the chart.
const wchar_t* const kToolTextKeys[] = {nullptr,          L"tip.symbols",       L"tip.averageSpeed",
                                        L"tip.bestSpeed", L"tip.effectiveness", L"tip.evenness",
                                        L"tip.chart"};

std::wstring dayLabel(const CalendarDate& date, const std::wstring& picture) {
    const SYSTEMTIME time = date.toSystemTime();
    wchar_t text[64] = {};
    if (::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, picture.c_str(), text, 64) == 0)
        return std::to_wstring(date.day());
    return text;
}

std::wstring userMonthDayPicture() {
    wchar_t shortDate[80] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate, 80) == 0)
        return L"d";
    return keywhirl::monthDayPicture(shortDate);
}

} // namespace

HistoryDlg::HistoryDlg(keywhirl::TypingHistory& history) : history(history) {}

HistoryDlg::~HistoryDlg() {
    // The window's last messages (the placement is kept then) need the members.
    if (exists())
        endDialog(IDCANCEL);
}

bool HistoryDlg::open(HWND owner) {
    if (!exists()) {
        if (!createModeless(IDD_HISTORY_DIALOG, owner))
            return false;
        placeWindow();
    } else if (::IsIconic(handle())) {
        show(SW_RESTORE);
    } else {
        show(SW_SHOW);
    }
    // The user asked for this window: it comes to the front with the focus.
    ::SetForegroundWindow(handle());
    return true;
}

bool HistoryDlg::onInitDialog() {
    // The program's own icon in the caption and on the taskbar button; both
    // are shared icons, which the system keeps.
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    send(WM_SETICON, ICON_BIG,
         reinterpret_cast<LPARAM>(::LoadIconW(module, MAKEINTRESOURCEW(IDI_KEYWHIRL))));
    send(WM_SETICON, ICON_SMALL,
         reinterpret_cast<LPARAM>(
             ::LoadImageW(module, MAKEINTRESOURCEW(IDI_KEYWHIRL), IMAGE_ICON, 16, 16, LR_SHARED)));
    createTooltip();
    applyTexts();
    refresh();
    setTimer(keywhirl::kHistoryRefreshTimer, kRefreshMilliseconds);
    return true;
}

void HistoryDlg::applyTexts() {
    setText(historyText(L"title"));
    setItemText(IDC_HISTORY_OPEN_FOLDER, historyText(L"openFolder"));
    if (!tooltip_)
        return;
    for (UINT_PTR id = 1; id <= kChartTool; ++id) {
        std::wstring text = historyText(kToolTextKeys[id]);
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = handle();
        tool.uId = id;
        tool.lpszText = &text[0];
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HistoryDlg::createTooltip() {
    // A tooltip never takes the activation; the window owns it and destroys it.
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_)
        return;
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 360);
    // Long enough to read a few lines.
    ::SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    for (UINT_PTR id = 1; id <= kChartTool; ++id) {
        TTTOOLINFOW tool = {};
        // The older structure: version 5 of the common controls refuses the newer size.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = handle();
        tool.uId = id;
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    placeTools();
}

void HistoryDlg::placeTools() {
    RECT client;
    if (!tooltip_ || !getClientRect(client))
        return;
    const HistoryLayout layout({client.right, client.bottom});
    for (UINT_PTR id = 1; id <= kChartTool; ++id) {
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = handle();
        tool.uId = id;
        tool.rect = id == kChartTool ? layout.plot() : layout.figureColumn(int(id));
        ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HistoryDlg::placeWindow() {
    RECT stored;
    bool maximized = false;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    ::GetWindowPlacement(handle(), &placement);
    const ui::Desktop desktop = ui::Desktop::current();
    if (HistoryWindowPlacement::load(stored, maximized)) {
        // A place saved on a larger screen or a monitor that is gone comes
        // wholly into a work area.
        placement.rcNormalPosition = desktop.keepInside(stored);
        placement.showCmd = maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    } else {
        // The default size, in the middle of the work area of the monitor of
        // the tray icon the user clicked.
        RECT frame = {0, 0, HistoryLayout::kDefaultClient.cx, HistoryLayout::kDefaultClient.cy};
        ::AdjustWindowRectEx(&frame, DWORD(::GetWindowLongW(handle(), GWL_STYLE)), FALSE,
                             DWORD(::GetWindowLongW(handle(), GWL_EXSTYLE)));
        placement.rcNormalPosition =
            desktop.centredAt(ui::PlacedMessageBox::anchorPoint(parent()),
                              SIZE{frame.right - frame.left, frame.bottom - frame.top});
        placement.showCmd = SW_SHOWNORMAL;
    }
    placement.flags = 0;
    ::SetWindowPlacement(handle(), &placement);
    layoutControls();
}

void HistoryDlg::keepPlacement() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (::GetWindowPlacement(handle(), &placement))
        HistoryWindowPlacement::save(placement.rcNormalPosition,
                                     placement.showCmd == SW_SHOWMAXIMIZED || ::IsZoomed(handle()));
}

void HistoryDlg::onDestroy() {
    killTimer(keywhirl::kHistoryRefreshTimer);
    keepPlacement();
    tooltip_ = nullptr;
}

void HistoryDlg::refresh() {
    view_ = HistoryView::of(history.days(), history.today());
    const std::wstring text = figuresText();
    if (text != getItemText(IDC_HISTORY_FIGURES))
        setItemText(IDC_HISTORY_FIGURES, text);
    if (exists())
        invalidate(false);
}

std::wstring HistoryDlg::figuresText() const {
    // One line per span: its name and the five figures, tab-separated, for
    // screen readers and other programs (the picture itself is only pixels).
    const DayRecord* spans[] = {&view_.todayTotal, &view_.lastWeek, &view_.lastMonth};
    std::wstring text;
    for (int span = 0; span < 3; ++span) {
        text += historyText(kSpanKeys[span]);
        for (int column = 1; column <= 5; ++column)
            text += L"\t" + figure(*spans[span], column);
        text += L"\r\n";
    }
    return text;
}

void HistoryDlg::layoutControls() {
    RECT client;
    if (!getClientRect(client))
        return;
    const HistoryLayout layout({client.right, client.bottom});
    const RECT button = layout.button();
    ::MoveWindow(getItem(IDC_HISTORY_OPEN_FOLDER), button.left, button.top,
                 button.right - button.left, button.bottom - button.top, TRUE);
}

void HistoryDlg::minimumSize(MINMAXINFO& info) const {
    RECT frame = {0, 0, HistoryLayout::kMinimumClient.cx, HistoryLayout::kMinimumClient.cy};
    ::AdjustWindowRectEx(&frame, DWORD(::GetWindowLongW(handle(), GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongW(handle(), GWL_EXSTYLE)));
    info.ptMinTrackSize.x = frame.right - frame.left;
    info.ptMinTrackSize.y = frame.bottom - frame.top;
}

std::wstring HistoryDlg::explorerArguments(const std::wstring& file, bool fileExists) {
    if (fileExists)
        return L"/select,\"" + file + L"\"";
    const std::size_t slash = file.find_last_of(L"\\/");
    return L"\"" + (slash == std::wstring::npos ? file : file.substr(0, slash)) + L"\"";
}

void HistoryDlg::showInExplorer(const std::wstring& arguments) {
    ::ShellExecuteW(handle(), L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

bool HistoryDlg::onCommand(int id, int code, HWND) {
    if (id != IDC_HISTORY_OPEN_FOLDER || code != BN_CLICKED)
        return false;
    const std::wstring& file = history.path();
    if (file.empty())
        return true;
    ::CreateDirectoryW(history.folder().c_str(), nullptr);
    showInExplorer(
        explorerArguments(file, ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES));
    return true;
}

bool HistoryDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        // The picture covers every pixel.
        result = TRUE;
        return true;
    case WM_SIZE:
        layoutControls();
        placeTools();
        invalidate(false);
        return false;
    case WM_GETMINMAXINFO:
        minimumSize(*reinterpret_cast<MINMAXINFO*>(lParam));
        result = 0;
        return true;
    case WM_TIMER:
        refresh();
        return false;
    case WM_EXITSIZEMOVE:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // Wholly in a work area after a drag and when a screen or the
        // taskbar changes.
        if (message == WM_EXITSIZEMOVE || ui::Desktop::changesWorkAreas(message, wParam))
            ui::Desktop::keepWindowInside(handle());
        return false;
    default:
        return false;
    }
}

void HistoryDlg::paint() {
    utils::PaintDc paintDc(handle());
    RECT client;
    if (paintDc.get() == nullptr || !getClientRect(client))
        return;
    ui::DoubleBuffer buffer(paintDc.get(), client.right - client.left, client.bottom - client.top);
    if (buffer) {
        drawPicture(buffer.dc(), client);
        buffer.present(client.left, client.top);
    }
}

void HistoryDlg::drawPicture(HDC dc, const RECT& client) {
    const HistoryLayout layout({client.right - client.left, client.bottom - client.top});
    const RECT plot = layout.plot();
    keywhirl::fillPaletteGradient(dc, client);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kInk);

    // The speed line and its scale in the unit the settings choose.
    const keywhirl::SpeedUnit unit = keywhirl::SpeedUnits::current();
    const auto speedOf = [unit](const DayRecord& day) {
        return keywhirl::SpeedUnits::convert(day.averageSpeed(), unit);
    };
    std::uint64_t mostSymbols = 0;
    unsigned fastest = 0;
    for (const DayRecord& day : view_.days) {
        mostSymbols = std::max(mostSymbols, day.symbols);
        fastest = std::max(fastest, speedOf(day));
    }
    const std::uint64_t symbolsTop = keywhirl::roundScale(mostSymbols);
    const std::uint64_t speedTop = keywhirl::roundScale(fastest);

    utils::UniqueFont textFont = ui::createPointFont(dc, kTextPoints10, FW_NORMAL);
    utils::UniqueFont headingFont = ui::createPointFont(dc, kHeadingPoints10, FW_BOLD);
    utils::SelectedObject selectedFont(dc, textFont.get());

    // The legend: a bar and a stretch of the line, each with its name.
    {
        const RECT legend = layout.legend();
        const int middle = (legend.top + legend.bottom) / 2;
        int x = plot.left;
        fillRect(dc, {x, middle - 5, x + 10, middle + 5}, kBar);
        RECT box = {x + 16, legend.top, legend.right, legend.bottom};
        const std::wstring bars = historyText(L"chart.symbols");
        drawText(dc, bars, box, DT_SINGLELINE | DT_VCENTER);
        x = measureText(dc, bars, box, DT_SINGLELINE | DT_VCENTER).right + 28;
        utils::UniquePen pen(::CreatePen(PS_SOLID, 2, kSpeedLine));
        utils::SelectedObject selectedPen(dc, pen.get());
        ::MoveToEx(dc, x, middle, nullptr);
        ::LineTo(dc, x + 16, middle);
        RECT lineBox = {x + 22, legend.top, legend.right, legend.bottom};
        drawText(dc,
                 historyText(unit == keywhirl::SpeedUnit::WordsPerMinute ? L"chart.speed.words"
                                                                         : L"chart.speed"),
                 lineBox, DT_SINGLELINE | DT_VCENTER);
    }

    // Today's band under everything else.
    fillRect(dc, layout.slot(HistoryView::kDays - 1), kTodayBand);

    // The grid with both scales: symbols on the left, speed on the right.
    {
        utils::UniquePen gridPen(::CreatePen(PS_DOT, 1, kGrid));
        utils::SelectedObject selectedPen(dc, gridPen.get());
        for (int step = 0; step <= kGridSteps; ++step) {
            const int y = plot.bottom - (plot.bottom - plot.top) * step / kGridSteps;
            if (step > 0) {
                ::MoveToEx(dc, plot.left, y, nullptr);
                ::LineTo(dc, plot.right, y);
            }
            RECT left = {0, y - 8, plot.left - 5, y + 8};
            drawText(dc, groupedNumber(symbolsTop * std::uint64_t(step) / kGridSteps), left,
                     DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
            RECT right = {plot.right + 5, y - 8, client.right, y + 8};
            drawText(dc, number(speedTop * std::uint64_t(step) / kGridSteps), right,
                     DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    }

    // One bar per day with typing; empty days stay gaps.
    for (int i = 0; i < HistoryView::kDays; ++i) {
        const DayRecord& day = view_.days[std::size_t(i)];
        if (day.empty())
            continue;
        fillRect(dc, layout.bar(i, day.symbols, symbolsTop),
                 i == HistoryView::kDays - 1 ? kTodayBar : kBar);
    }

    // The axis over the bars' feet.
    ::MoveToEx(dc, plot.left, plot.bottom, nullptr);
    ::LineTo(dc, plot.right, plot.bottom);

    // The speed line, broken at every day without typing time.
    {
        utils::UniquePen linePen(::CreatePen(PS_SOLID, 2, kSpeedLine));
        utils::UniqueBrush dotBrush(::CreateSolidBrush(kSpeedLine));
        utils::SelectedObject selectedPen(dc, linePen.get());
        utils::SelectedObject selectedBrush(dc, dotBrush.get());
        bool drawing = false;
        for (int i = 0; i < HistoryView::kDays; ++i) {
            const DayRecord& day = view_.days[std::size_t(i)];
            if (day.activeMilliseconds == 0) {
                drawing = false;
                continue;
            }
            const POINT point = layout.speedPoint(i, speedOf(day), speedTop);
            if (drawing)
                ::LineTo(dc, point.x, point.y);
            else
                ::MoveToEx(dc, point.x, point.y, nullptr);
            drawing = true;
        }
        for (int i = 0; i < HistoryView::kDays; ++i) {
            const DayRecord& day = view_.days[std::size_t(i)];
            if (day.activeMilliseconds == 0)
                continue;
            const POINT point = layout.speedPoint(i, speedOf(day), speedTop);
            ::Ellipse(dc, point.x - 3, point.y - 3, point.x + 4, point.y + 4);
            ::MoveToEx(dc, point.x, point.y, nullptr);
        }
    }

    // Day labels, counted back from today so that today always has one.
    {
        const std::wstring picture = userMonthDayPicture();
        SIZE widest = {};
        const std::wstring sample = dayLabel(CalendarDate::fromYmd(2000, 12, 28), picture);
        ::GetTextExtentPoint32W(dc, sample.c_str(), int(sample.size()), &widest);
        const RECT band = layout.slot(0);
        const int bandWidth = std::max(1L, band.right - band.left);
        int every = 1;
        for (int candidate : {1, 2, 3, 5, 7, 10, 15}) {
            every = candidate;
            if (candidate * bandWidth >= widest.cx + 8)
                break;
        }
        for (int i = HistoryView::kDays - 1; i >= 0; i -= every) {
            const RECT slot = layout.slot(i);
            const int centre = (slot.left + slot.right) / 2;
            RECT box = {centre - 40, layout.labelTop(), centre + 40,
                        layout.labelTop() + HistoryLayout::kLabelHeight};
            utils::SelectedObject labelFont(dc, i == HistoryView::kDays - 1 ? headingFont.get()
                                                                            : textFont.get());
            drawText(dc, dayLabel(view_.days[std::size_t(i)].date, picture), box,
                     DT_SINGLELINE | DT_CENTER | DT_TOP);
        }
    }

    if (view_.nothingTyped()) {
        // A friendly line rather than an empty chart.
        RECT box = {plot.left + 20, plot.top, plot.right - 20, plot.bottom};
        const std::wstring empty = historyText(L"empty");
        utils::SelectedObject emptyFont(dc, headingFont.get());
        const RECT measured = measureText(dc, empty, box, DT_CENTER | DT_WORDBREAK);
        const int height = measured.bottom - measured.top;
        box.top = (plot.top + plot.bottom - height) / 2;
        box.bottom = box.top + height;
        drawText(dc, empty, box, DT_CENTER | DT_WORDBREAK);
    }

    // The table: headings, then today, the last 7 and the last 30 days.
    {
        const RECT table = layout.table();
        ::MoveToEx(dc, table.left, layout.cell(1, 0).top, nullptr);
        ::LineTo(dc, table.right, layout.cell(1, 0).top);
        const DayRecord* spans[] = {&view_.todayTotal, &view_.lastWeek, &view_.lastMonth};
        for (int column = 1; column <= 5; ++column) {
            // Headings keep to the foot of their two-line row, wrapped when long.
            utils::SelectedObject heading(dc, headingFont.get());
            RECT box = layout.cell(0, column);
            box.left += 6;
            const std::wstring text = historyText(kColumnKeys[column]);
            const RECT measured = measureText(dc, text, box, DT_WORDBREAK | DT_RIGHT);
            box.top = std::max(box.top, box.bottom - 2 - (measured.bottom - measured.top));
            drawText(dc, text, box, DT_WORDBREAK | DT_RIGHT | DT_END_ELLIPSIS);
        }
        for (int span = 0; span < 3; ++span) {
            {
                utils::SelectedObject heading(dc, headingFont.get());
                drawText(dc, historyText(kSpanKeys[span]), layout.cell(span + 1, 0),
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
            }
            for (int column = 1; column <= 5; ++column)
                drawText(dc, figure(*spans[span], column, true), layout.cell(span + 1, column),
                         DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        }
    }
}
