// src/weakkeys/WeakKeyTint.cpp
#include "weakkeys/WeakKeyTint.h"

#include "localization/ResourceBundle.h"
#include "utils/Handles.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <sstream>

namespace keywhirl {

namespace {

// Plain, dead key and several characters: black, dark magenta, dark grey.
constexpr COLORREF kTintedLabelColours[] = {RGB(0, 0, 0), RGB(110, 0, 110), RGB(60, 60, 60)};
constexpr COLORREF kNeutralFace = RGB(245, 246, 249);
constexpr COLORREF kLegendText = RGB(214, 220, 232);
constexpr int kCornerRadius = 7;
constexpr int kInset = 2;
constexpr int kStripWidth = 96;
constexpr int kStripHeight = 9;
constexpr int kStripSteps = 12;
constexpr int kGap = 6;

double linear(BYTE channel) {
    double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(COLORREF colour) {
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) +
           0.0722 * linear(GetBValue(colour));
}

BYTE mix(BYTE from, BYTE to, int level) {
    return static_cast<BYTE>(from + ((to - from) * level + (to > from ? 127 : -127)) / 255);
}

HFONT createLegendFont(HDC dc) {
    LOGFONTW description = {};
    description.lfHeight = -::MulDiv(8, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    description.lfWeight = FW_NORMAL;
    std::wcscpy(description.lfFaceName, L"Arial");
    return ::CreateFontIndirectW(&description);
}

int textWidth(HDC dc, const std::wstring& text) {
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    utils::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

} // namespace

double WeakKeyTint::share(const WeakKeyRecorder::KeyCounts& counts) {
    if (counts.hesitations == 0)
        return 0;
    double presses = std::max<double>(counts.presses, counts.hesitations);
    return counts.hesitations / (presses + kPriorPresses);
}

std::vector<int> WeakKeyTint::levels(const WeakKeyRecorder& recorder,
                                     const std::vector<unsigned>& scanCodes) {
    std::vector<double> shares;
    shares.reserve(scanCodes.size());
    double highest = kFullScaleShare;
    for (unsigned scanCode : scanCodes) {
        shares.push_back(share(recorder.counts(WeakKeyRecorder::keyIndex(scanCode, false))));
        highest = std::max(highest, shares.back());
    }
    std::vector<int> result;
    result.reserve(shares.size());
    for (double s : shares)
        result.push_back(static_cast<int>(std::ceil(kFullLevel * s / highest)));
    return result;
}

COLORREF WeakKeyTint::blend(COLORREF base, int level) {
    level = std::clamp(level, 0, kFullLevel);
    return RGB(mix(GetRValue(base), GetRValue(kWarmest), level),
               mix(GetGValue(base), GetGValue(kWarmest), level),
               mix(GetBValue(base), GetBValue(kWarmest), level));
}

COLORREF WeakKeyTint::labelColour(int labelKind) {
    if (labelKind < 0 || labelKind > 2)
        labelKind = 0;
    return kTintedLabelColours[labelKind];
}

double WeakKeyTint::contrast(COLORREF a, COLORREF b) {
    double la = luminance(a);
    double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void WeakKeyTint::paintCells(HDC dc, const std::vector<KeyRect>& cells,
                             const std::vector<int>& levels) {
    utils::SelectedObject pen(dc, ::GetStockObject(NULL_PEN));
    const size_t count = std::min(cells.size(), levels.size());
    for (size_t i = 0; i < count; ++i) {
        if (levels[i] <= 0 || !cells[i].isValid())
            continue;
        RECT box = cells[i].toRECT();
        COLORREF face = ::GetPixel(dc, (box.left + box.right) / 2, box.top + 4);
        if (face == CLR_INVALID)
            face = kNeutralFace;
        utils::UniqueBrush brush(::CreateSolidBrush(blend(face, levels[i])));
        utils::SelectedObject selected(dc, brush.get());
        // RoundRect leaves out the right and bottom edge, as the cell's
        // inclusive edges want.
        ::RoundRect(dc, box.left + kInset, box.top + kInset, box.right - kInset + 1,
                    box.bottom - kInset + 1, kCornerRadius, kCornerRadius);
    }
}

RECT WeakKeyTint::legendArea(int pictureWidth) {
    // In the title bar, between the program's name and the minimize button.
    return RECT{230, 7, pictureWidth - 44, 27};
}

void WeakKeyTint::paintLegend(HDC dc, const RECT& area, const ResourceBundle& texts) {
    utils::UniqueFont font(createLegendFont(dc));
    utils::SelectedObject selected(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kLegendText);

    const std::wstring caption = texts.getString(L"legend.caption");
    const std::wstring few = texts.getString(L"legend.few");
    const std::wstring many = texts.getString(L"legend.many");
    const int middle = (area.top + area.bottom) / 2;
    auto text = [&](int right, const std::wstring& words) {
        int width = textWidth(dc, words);
        RECT box = {std::max<int>(area.left, right - width), area.top, right, area.bottom};
        ::DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &box,
                    DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        return box.left;
    };

    // From the right: the word for many, the strip, the word for few, the caption.
    int right = text(area.right, many) - kGap;
    RECT strip = {right - kStripWidth, middle - kStripHeight / 2, right,
                  middle - kStripHeight / 2 + kStripHeight};
    for (int step = 0; step < kStripSteps; ++step) {
        RECT part = strip;
        part.left = strip.left + kStripWidth * step / kStripSteps;
        part.right = strip.left + kStripWidth * (step + 1) / kStripSteps;
        fill(dc, part, blend(kNeutralFace, kFullLevel * step / (kStripSteps - 1)));
    }
    right = text(strip.left - kGap, few) - 2 * kGap;
    if (right > area.left)
        text(right, caption);
}

std::wstring WeakKeyTint::tooltipText(const WeakKeyRecorder::KeyCounts& counts,
                                      const ResourceBundle& texts) {
    std::wostringstream text;
    text << texts.getString(L"tooltip.presses") << counts.presses << L"\r\n"
         << texts.getString(L"tooltip.hesitations") << counts.hesitations << L"\r\n"
         << texts.getString(L"tooltip.leadTime");
    if (counts.hasLeadTime)
        text << static_cast<long>(std::lround(counts.leadTime)) << texts.getString(L"tooltip.ms");
    else
        text << texts.getString(L"tooltip.noLeadTime");
    return text.str();
}

} // namespace keywhirl
