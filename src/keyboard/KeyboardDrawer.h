// src/keyboard/KeyboardDrawer.h - writes on each key of the keyboard picture what it types now.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "utils/CriticalSection.h"
#include "utils/KeyRect.h"

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl {

// Follows the key events (on the dispatcher thread) to know the layout, the
// modifier state and a pending dead key, and paints the 47 character keys'
// labels (on the window's thread).
class KeyboardDrawer {
public:
    enum LabelKind { Plain = 0, DeadKey = 1, SeveralCharacters = 2 };

    struct Label {
        std::wstring text;
        int kind = Plain;
        bool operator==(const Label& other) const {
            return kind == other.kind && text == other.text;
        }
    };

    struct KeyLabel {
        unsigned scanCode;
        KeyRect cell;
        Label label;
        bool operator==(const KeyLabel& other) const {
            return scanCode == other.scanCode && label == other.label;
        }
    };

    // Starts from the constructing thread's own keyboard state and layout.
    KeyboardDrawer();
    virtual ~KeyboardDrawer();
    KeyboardDrawer(const KeyboardDrawer&) = delete;
    KeyboardDrawer& operator=(const KeyboardDrawer&) = delete;

    // Takes a key event; true when the labels change and the picture must
    // be repainted: a modifier pressed (not its auto-repeat) or released, a
    // named key held or let go (NamedKeys), or a dead key becoming pending
    // or consumed.
    bool onKey(const KeyInfoWrapper& event);
    // Paints every label into dc, which already holds the background.
    virtual void draw(HDC dc);
    // Paints the given labels, as currentLabels() gives them; kindColours,
    // when given, replaces the text colour of each label kind.
    static void drawLabels(HDC dc, const std::vector<KeyLabel>& labels,
                           const COLORREF* kindColours = nullptr);
    // The labels draw() paints, key by key in ascending scan code order,
    // worked out on the calling thread. A set of labels is kept for each of
    // the last few combinations of layout, key state and dead key.
    std::vector<KeyLabel> currentLabels() const;
    KeyInfoWrapper getLastEvent() const;
    bool isDeadKeyPending() const;
    // The named keys held in the last event, as NamedKeys::heldIn gives them.
    unsigned heldNamedKeys() const;

    // The key's cell on the picture; not valid for keys without a label.
    static KeyRect keyRectFor(unsigned scanCode);
    // What the key of scanCode types under state's layout and key state, in
    // the calling thread's dead-key state (a dead key is taken out again).
    static Label labelFor(const KeyInfoWrapper& state, unsigned scanCode);
    // The 18-point Arial label centred in the cell, with a white shadow.
    static void drawKey(HDC dc, const KeyRect& cell, const std::wstring& text, int kind);

    static constexpr unsigned kFirstScanCode = 2;
    static constexpr unsigned kLastScanCode = 0x38;

private:
    class Fonts;
    static void drawKey(HDC dc, const KeyRect& cell, const std::wstring& text, int kind,
                        Fonts& fonts, const COLORREF* kindColours);
    // Puts the dead key back into the calling thread's translation state.
    static void reapplyDeadKey(const KeyInfoWrapper& deadKeyEvent);
    // Takes any dead key out of the calling thread's translation state.
    static void clearDeadKey(const KeyInfoWrapper& state);
    // labelFor, also telling whether the translations left a dead key in
    // the calling thread's state.
    static Label translate(const KeyInfoWrapper& state, unsigned scanCode, bool& deadKeyLeft);
    std::vector<KeyLabel> workOutLabels(const KeyInfoWrapper& state, const KeyInfoWrapper& deadKey,
                                        bool pending) const;

    // What the labels depend on.
    struct LabelSource {
        KeyRecord state;
        bool pending;
        KeyRecord deadKey;
        bool operator==(const LabelSource& other) const;
    };

    mutable utils::CriticalSection lock;
    KeyInfoWrapper lastEvent;
    KeyInfoWrapper deadKeyEvent;
    bool deadKeyPending;

    struct KnownLabels {
        LabelSource source;
        std::vector<KeyLabel> labels;
    };
    // The label sets worked out last, the latest first: a few modifier
    // states come back again and again (Shift pressed and released).
    // Guarded by their own lock so that translating never holds up onKey.
    static constexpr size_t kKnownLabelSets = 8;
    mutable utils::CriticalSection labelsLock;
    mutable std::vector<KnownLabels> known;
};

} // namespace keywhirl
