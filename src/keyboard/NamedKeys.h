// src/keyboard/NamedKeys.h - the keys of the picture that carry a name rather than a character.
#pragma once

#include "utils/KeyRect.h"

#include <windows.h>

#include <string>
#include <vector>

namespace keywhirl {

class ResourceBundle;

// Backspace, Tab, Caps Lock, Enter, both Shifts, Ctrls and Win keys, Alt,
// AltGr and Menu: the picture leaves their caps blank and the window writes
// their names in the interface language. A held modifier is drawn pressed.
class NamedKeys {
public:
    enum Align { Left, Centre, Right };

    struct Key {
        KeyRect cell;           // edges inclusive, on the picture
        const wchar_t* textKey; // in the language section "Keyboard"
        Align align;
        BYTE sideKey;    // the key's own virtual-key code (VK_LSHIFT), 0: never held
        BYTE anySideKey; // the code of either side (VK_SHIFT), 0 if there is none
        bool leftSide;   // the side a held VK_SHIFT alone is shown on
    };

    // The named keys, left to right and top to bottom.
    static const std::vector<Key>& keys();
    // Their names in the language of the bundle, in the order of keys().
    static std::vector<std::wstring> namesFrom(const ResourceBundle& keyboardTexts);
    // Bit i set when keys()[i] is held down in the keyboard state. A state
    // that tells only "a Shift is down", not which one, shows the left one.
    static unsigned heldIn(const BYTE keyState[256]);
    // Paints each key's name; held keys first get a darker, pressed cap.
    static void draw(HDC dc, const std::vector<std::wstring>& names, unsigned held);
};

} // namespace keywhirl
