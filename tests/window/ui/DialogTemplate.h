// tests/window/ui/DialogTemplate.h - builds dialog templates in memory, for
// shapes that the program's resources do not have.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace keywhirl::ui::testing {

static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18,
              "the platform's packed template layout");

class DialogTemplate {
public:
    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kEdit = 0x0081;
    static constexpr WORD kStatic = 0x0082;

    DialogTemplate(DWORD style, short width, short height, const wchar_t* title,
                   DWORD exStyle = 0) {
        DLGTEMPLATE header{};
        header.style = style | DS_SETFONT;
        header.dwExtendedStyle = exStyle;
        header.cx = width;
        header.cy = height;
        append(&header, sizeof header);
        words_.push_back(0); // no menu
        words_.push_back(0); // the standard dialog class
        appendString(title);
        words_.push_back(8);
        appendString(L"MS Shell Dlg");
    }

    DialogTemplate& add(WORD windowClass, int id, DWORD style, short x, short y, short width,
                        short height, const wchar_t* text) {
        if (words_.size() % 2 != 0)
            words_.push_back(0); // items start on a DWORD boundary
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = width;
        item.cy = height;
        item.id = static_cast<WORD>(id);
        append(&item, sizeof item);
        words_.push_back(0xFFFF);
        words_.push_back(windowClass);
        appendString(text);
        words_.push_back(0); // no creation data
        ++reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit;
        return *this;
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void append(const void* data, size_t bytes) {
        const size_t at = words_.size();
        words_.resize(at + (bytes + 1) / 2);
        std::memcpy(&words_[at], data, bytes);
    }
    void appendString(const wchar_t* text) {
        for (; *text != L'\0'; ++text)
            words_.push_back(static_cast<WORD>(*text));
        words_.push_back(0);
    }

    // The storage comes from operator new, aligned to at least 8 bytes, which
    // covers the DWORD alignment that the platform asks of the template.
    std::vector<WORD> words_;
};

} // namespace keywhirl::ui::testing
