// src/keyboard/KeyboardDrawer.cpp
#include "keyboard/KeyboardDrawer.h"

#include "input/KeyTranslator.h"
#include "keyboard/NamedKeys.h"
#include "utils/Handles.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace keywhirl {

namespace {

constexpr int kCellWidth = 47;
constexpr int kCellHeight = 38;
constexpr int kCellPitch = 50;
constexpr int kBufferSize = 8;

struct KeyRow {
    unsigned firstScanCode;
    unsigned count;
    int left;
    int top;
};

// Each row's scan codes are consecutive except the first row, which starts
// with the grave accent key (0x29) before the digits 0x02 to 0x0D.
constexpr unsigned kGraveAccent = 0x29;
constexpr unsigned kBackslash = 0x2B;
const KeyRow kRows[] = {
    {0x02, 12, 14 + kCellPitch, 34}, // 1 to = (the grave accent sits before them)
    {0x10, 12, 82, 74},              // Q to ]
    {0x1E, 11, 97, 114},             // A to '
    {0x2C, 10, 121, 154},            // Z to /
};

KeyRect cellAt(int left, int top) {
    KeyRect cell(left, top, 0, 0);
    cell.setWidth(kCellWidth);
    cell.setHeight(kCellHeight);
    return cell;
}

constexpr COLORREF kKindColours[] = {RGB(0, 0, 0), RGB(255, 0, 255), RGB(170, 170, 170)};
constexpr COLORREF kShadowColour = RGB(255, 255, 255);
constexpr int kFontTenthsOfPoint = 180;

} // namespace

// The two label fonts, made once per paint rather than once per key.
class KeyboardDrawer::Fonts {
public:
    explicit Fonts(HDC dc) : dc(dc) {}
    HFONT forKind(int kind) {
        bool bold = kind == DeadKey;
        utils::UniqueFont& font = bold ? boldFont : mediumFont;
        if (!font)
            font.reset(create(bold ? FW_BOLD : FW_MEDIUM));
        return font.get();
    }

private:
    HFONT create(int weight) const {
        LOGFONTW description = {};
        // Tenths of a point at the context's vertical resolution: 24 pixels
        // at 96 dots per inch.
        description.lfHeight = -::MulDiv(kFontTenthsOfPoint, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
        description.lfWeight = weight;
        std::wcscpy(description.lfFaceName, L"Arial");
        return ::CreateFontIndirectW(&description);
    }

    HDC dc;
    utils::UniqueFont mediumFont;
    utils::UniqueFont boldFont;
};

KeyboardDrawer::KeyboardDrawer() : deadKeyPending(false) {}

KeyboardDrawer::~KeyboardDrawer() = default;

bool KeyboardDrawer::LabelSource::operator==(const LabelSource& other) const {
    // The key fields only: the repeat count and the like change no label.
    auto sameKey = [](const KeyRecord& a, const KeyRecord& b) {
        return a.keyboardLayout == b.keyboardLayout && a.virtualKey == b.virtualKey &&
               ((a.keyData ^ b.keyData) & 0x80FF0000u) == 0 &&
               std::memcmp(a.keyState, b.keyState, sizeof a.keyState) == 0;
    };
    if (pending != other.pending || state.keyboardLayout != other.state.keyboardLayout ||
        std::memcmp(state.keyState, other.state.keyState, sizeof state.keyState) != 0)
        return false;
    return !pending || sameKey(deadKey, other.deadKey);
}

bool KeyboardDrawer::onKey(const KeyInfoWrapper& event) {
    // Only presses are translated: the record carries no key-up flag for
    // ToUnicodeEx, so a release of a dead key would count as a second press
    // and cancel the dead key the user has just typed.
    int translated = 0;
    if (!event.isKeyUp()) {
        wchar_t buffer[kBufferSize];
        translated = event.toUnicode(buffer, kBufferSize);
    }

    bool changed;
    bool heldChanged;
    {
        utils::Lock guard(lock);
        bool was = deadKeyPending;
        // A held modifier is drawn pressed, so a change of what is held
        // repaints too, also for keys that change no label (the Win keys).
        heldChanged =
            NamedKeys::heldIn(lastEvent.keyState()) != NamedKeys::heldIn(event.keyState());
        lastEvent = event;
        if (translated < 0) {
            deadKeyPending = true;
            deadKeyEvent = event;
        } else if (translated > 0) {
            deadKeyPending = false;
        }
        changed = was != deadKeyPending || heldChanged;
    }
    // A modifier's first press and its release change the labels; its
    // auto-repeat does not.
    if (event.isModifier() && (!event.wasDown() || event.isKeyUp()))
        changed = true;
    return changed;
}

KeyInfoWrapper KeyboardDrawer::getLastEvent() const {
    utils::Lock guard(lock);
    return lastEvent;
}

unsigned KeyboardDrawer::heldNamedKeys() const {
    utils::Lock guard(lock);
    return NamedKeys::heldIn(lastEvent.keyState());
}

bool KeyboardDrawer::isDeadKeyPending() const {
    utils::Lock guard(lock);
    return deadKeyPending;
}

KeyRect KeyboardDrawer::keyRectFor(unsigned scanCode) {
    if (scanCode == kGraveAccent)
        return cellAt(kRows[0].left - kCellPitch, kRows[0].top);
    for (const KeyRow& row : kRows) {
        if (scanCode >= row.firstScanCode && scanCode < row.firstScanCode + row.count) {
            int index = static_cast<int>(scanCode - row.firstScanCode);
            return cellAt(row.left + kCellPitch * index, row.top);
        }
    }
    if (scanCode == kBackslash)
        return KeyRect(682, 74, 739, 111);
    return KeyRect(false);
}

KeyboardDrawer::Label KeyboardDrawer::labelFor(const KeyInfoWrapper& state, unsigned scanCode) {
    bool deadKeyLeft = false;
    return translate(state, scanCode, deadKeyLeft);
}

KeyboardDrawer::Label KeyboardDrawer::translate(const KeyInfoWrapper& state, unsigned scanCode,
                                                bool& deadKeyLeft) {
    Label label;
    deadKeyLeft = false;
    wchar_t buffer[kBufferSize + 1] = {};
    int count = state.scanCodeToUnicode(scanCode, buffer, kBufferSize);
    if (count < 0) {
        // A dead key: translating it again takes it out of this thread's
        // state and yields its own character.
        label.kind = DeadKey;
        count = state.scanCodeToUnicode(scanCode, buffer, kBufferSize);
    }
    if (count < 0) {
        deadKeyLeft = true;
        return label;
    }
    // Nothing typed: a dead key waiting in this thread's state still waits.
    if (count == 0)
        deadKeyLeft = true;
    if (count > kBufferSize)
        count = kBufferSize;
    std::wstring text(buffer, static_cast<size_t>(count));
    // With Ctrl held many keys type control characters, which no font can
    // show: the cap stays blank rather than showing an empty box.
    bool printable = false;
    for (wchar_t c : text)
        printable = printable || (c >= 0x20 && c != 0x7F);
    if (!printable)
        text.clear();
    if (label.kind == DeadKey) {
        label.text = text.substr(0, 1);
    } else {
        label.text = text;
        if (text.size() > 1)
            label.kind = SeveralCharacters;
    }
    return label;
}

void KeyboardDrawer::reapplyDeadKey(const KeyInfoWrapper& deadKeyEvent) {
    wchar_t buffer[kBufferSize];
    deadKeyEvent.toUnicode(buffer, kBufferSize);
}

void KeyboardDrawer::clearDeadKey(const KeyInfoWrapper& state) {
    // A space after a dead key yields the accent and ends the dead key;
    // without one it yields a space and changes nothing.
    const BYTE noKeysDown[256] = {};
    wchar_t buffer[kBufferSize];
    KeyTranslator::current().toUnicode(VK_SPACE, 0x39, noKeysDown, buffer, kBufferSize, 0,
                                       state.keyboardLayout());
}

std::vector<KeyboardDrawer::KeyLabel> KeyboardDrawer::currentLabels() const {
    KeyInfoWrapper state;
    KeyInfoWrapper deadKey;
    bool pending;
    {
        utils::Lock guard(lock);
        state = lastEvent;
        deadKey = deadKeyEvent;
        pending = deadKeyPending;
    }

    // Translating is the dear part of a paint; the window is repainted far
    // more often (exposure, fades, modifiers going down and up) than new
    // labels come up.
    LabelSource source{state.record(), pending, deadKey.record()};
    utils::Lock guard(labelsLock);
    for (size_t i = 0; i < known.size(); ++i) {
        if (known[i].source == source) {
            std::rotate(known.begin(), known.begin() + static_cast<std::ptrdiff_t>(i),
                        known.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return known.front().labels;
        }
    }
    if (known.size() == kKnownLabelSets)
        known.pop_back();
    known.insert(known.begin(), KnownLabels{source, workOutLabels(state, deadKey, pending)});
    return known.front().labels;
}

std::vector<KeyboardDrawer::KeyLabel> KeyboardDrawer::workOutLabels(const KeyInfoWrapper& state,
                                                                    const KeyInfoWrapper& deadKey,
                                                                    bool pending) const {
    // Every label starts from a clean dead-key state and, while a dead key
    // is pending, from exactly that dead key. A leftover would otherwise
    // compose with the next label or, met by the reapplied dead key, cancel
    // it: after a key that types nothing, after a translation in another
    // layout. This thread's state is clean again when this returns.
    std::vector<KeyLabel> result;
    result.reserve(47);
    bool deadKeyLeft = true;
    for (unsigned scanCode = kFirstScanCode; scanCode <= kLastScanCode; ++scanCode) {
        KeyRect cell = keyRectFor(scanCode);
        if (!cell.isValid())
            continue;
        if (deadKeyLeft)
            clearDeadKey(state);
        if (pending)
            reapplyDeadKey(deadKey);
        bool left = false;
        result.push_back({scanCode, cell, translate(state, scanCode, left)});
        deadKeyLeft = left;
    }
    if (deadKeyLeft)
        clearDeadKey(state);
    return result;
}

void KeyboardDrawer::draw(HDC dc) {
    drawLabels(dc, currentLabels());
}

void KeyboardDrawer::drawLabels(HDC dc, const std::vector<KeyLabel>& labels,
                                const COLORREF* kindColours) {
    Fonts fonts(dc);
    for (const KeyLabel& key : labels)
        drawKey(dc, key.cell, key.label.text, key.label.kind, fonts, kindColours);
}

void KeyboardDrawer::drawKey(HDC dc, const KeyRect& cell, const std::wstring& text, int kind) {
    Fonts fonts(dc);
    drawKey(dc, cell, text, kind, fonts, nullptr);
}

void KeyboardDrawer::drawKey(HDC dc, const KeyRect& cell, const std::wstring& text, int kind,
                             Fonts& fonts, const COLORREF* kindColours) {
    if (text.empty())
        return;
    if (kind < Plain || kind > SeveralCharacters)
        kind = Plain;
    utils::SelectedObject font(dc, fonts.forKind(kind));
    ::SetBkMode(dc, TRANSPARENT);

    // The inclusive right and bottom go in as the RECT's edges, so the text
    // is centred in a box one pixel smaller than the cell, and clipped to
    // it, as DrawText centres a single line; measured once for both passes.
    const int length = static_cast<int>(text.size());
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    RECT box = cell.toRECT();
    int x = box.left + (box.right - box.left - extent.cx) / 2;
    int y = box.top + (box.bottom - box.top - extent.cy) / 2;

    RECT shadow = box;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(dc, kShadowColour);
    ::ExtTextOutW(dc, x + 1, y + 1, ETO_CLIPPED, &shadow, text.c_str(), static_cast<UINT>(length),
                  nullptr);
    ::SetTextColor(dc, (kindColours ? kindColours : kKindColours)[kind]);
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &box, text.c_str(), static_cast<UINT>(length), nullptr);
}

} // namespace keywhirl
