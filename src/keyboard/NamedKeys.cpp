// src/keyboard/NamedKeys.cpp
#include "keyboard/NamedKeys.h"

#include "localization/ResourceBundle.h"
#include "utils/Handles.h"

#include <cwchar>

namespace keywhirl {

namespace {

constexpr COLORREF kLegend = RGB(84, 92, 108);
constexpr COLORREF kPressedSkirt = RGB(128, 136, 152);
constexpr COLORREF kPressedFace = RGB(184, 191, 204);
constexpr int kFontPoints = 8;
constexpr int kTextInset = 9;
// A pressed cap sinks: its face and name sit this much lower.
constexpr int kPressedDepth = 2;

bool down(const BYTE keyState[256], BYTE key) {
    return key != 0 && (keyState[key] & 0x80) != 0;
}

} // namespace

const std::vector<NamedKeys::Key>& NamedKeys::keys() {
    static const std::vector<Key> all = {
        {KeyRect(664, 34, 739, 71), L"key.backspace", Centre, 0, 0, false},
        {KeyRect(14, 74, 78, 111), L"key.tab", Left, 0, 0, false},
        {KeyRect(14, 114, 93, 151), L"key.capsLock", Left, VK_CAPITAL, 0, true},
        {KeyRect(647, 114, 739, 151), L"key.enter", Right, 0, 0, false},
        {KeyRect(14, 154, 117, 191), L"key.shift", Left, VK_LSHIFT, VK_SHIFT, true},
        {KeyRect(621, 154, 739, 191), L"key.shift", Right, VK_RSHIFT, VK_SHIFT, false},
        {KeyRect(14, 194, 69, 231), L"key.ctrl", Centre, VK_LCONTROL, VK_CONTROL, true},
        {KeyRect(73, 194, 128, 231), L"key.win", Centre, VK_LWIN, 0, true},
        {KeyRect(132, 194, 187, 231), L"key.alt", Centre, VK_LMENU, VK_MENU, true},
        {KeyRect(507, 194, 562, 231), L"key.altGr", Centre, VK_RMENU, VK_MENU, false},
        {KeyRect(566, 194, 621, 231), L"key.win", Centre, VK_RWIN, 0, false},
        {KeyRect(625, 194, 680, 231), L"key.menu", Centre, 0, 0, false},
        {KeyRect(684, 194, 739, 231), L"key.ctrl", Centre, VK_RCONTROL, VK_CONTROL, false},
    };
    return all;
}

std::vector<std::wstring> NamedKeys::namesFrom(const ResourceBundle& keyboardTexts) {
    std::vector<std::wstring> names;
    names.reserve(keys().size());
    for (const Key& key : keys())
        names.push_back(keyboardTexts.getString(key.textKey));
    return names;
}

unsigned NamedKeys::heldIn(const BYTE keyState[256]) {
    const std::vector<Key>& all = keys();
    unsigned held = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const Key& key = all[i];
        bool isHeld = down(keyState, key.sideKey);
        if (!isHeld && key.leftSide && down(keyState, key.anySideKey)) {
            // Which side is down is unknown only when neither side says so.
            bool eitherSide = false;
            for (const Key& other : all)
                eitherSide = eitherSide ||
                             (other.anySideKey == key.anySideKey && down(keyState, other.sideKey));
            isHeld = !eitherSide;
        }
        if (isHeld)
            held |= 1u << i;
    }
    return held;
}

void NamedKeys::draw(HDC dc, const std::vector<std::wstring>& names, unsigned held) {
    LOGFONTW description = {};
    description.lfHeight = -::MulDiv(kFontPoints, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    description.lfWeight = FW_NORMAL;
    std::wcscpy(description.lfFaceName, L"Arial");
    utils::UniqueFont font(::CreateFontIndirectW(&description));
    utils::SelectedObject withFont(dc, font.get());
    utils::UniqueBrush skirt(::CreateSolidBrush(kPressedSkirt));
    utils::UniqueBrush face(::CreateSolidBrush(kPressedFace));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kLegend);

    const std::vector<Key>& all = keys();
    for (size_t i = 0; i < all.size(); ++i) {
        RECT box = all[i].cell.toRECT();
        ++box.right; // the cell's edges are inclusive
        ++box.bottom;
        const bool pressed = (held >> i) & 1u;
        if (pressed) {
            utils::SelectedObject noPen(dc, ::GetStockObject(NULL_PEN));
            {
                utils::SelectedObject brush(dc, skirt.get());
                ::RoundRect(dc, box.left, box.top, box.right + 1, box.bottom + 1, 11, 11);
            }
            utils::SelectedObject brush(dc, face.get());
            ::RoundRect(dc, box.left + 3, box.top + 2 + kPressedDepth, box.right - 2,
                        box.bottom - 4 + kPressedDepth, 9, 9);
        }
        if (i >= names.size() || names[i].empty())
            continue;
        // The name sits on the face, which ends above the cap's lower skirt.
        RECT text = {box.left + kTextInset, box.top + 2, box.right - kTextInset, box.bottom - 4};
        if (pressed)
            ::OffsetRect(&text, 0, kPressedDepth);
        UINT align = all[i].align == Left ? DT_LEFT : all[i].align == Right ? DT_RIGHT : DT_CENTER;
        ::DrawTextW(dc, names[i].c_str(), static_cast<int>(names[i].size()), &text,
                    align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

} // namespace keywhirl
