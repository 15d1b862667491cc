// tests/unit/resources/DialogTemplate.h - reads an extended dialog template
// (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items) field by field.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace keywhirl::testing {

struct DialogItem {
    DWORD id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring className; // the predefined classes by name: "Button", "Edit", ...
    std::wstring title;     // an ordinal title reads "#<number>"
};

class DialogTemplate {
public:
    // Throws std::runtime_error when the bytes are no extended template or
    // end before the template does.
    static DialogTemplate parse(const BYTE* bytes, std::size_t size);
    // The dialog resource id of the running module; throws when it is missing.
    static DialogTemplate load(WORD id);

    const DialogItem* item(DWORD id) const;

    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;
    std::wstring windowClass;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

} // namespace keywhirl::testing
