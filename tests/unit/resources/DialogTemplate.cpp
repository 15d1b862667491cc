// tests/unit/resources/DialogTemplate.cpp
#include "DialogTemplate.h"

#include "ResourceData.h"

#include <cstring>
#include <stdexcept>

namespace keywhirl::testing {
namespace {

// Reads little-endian fields from a byte range and refuses to run past it.
class Reader {
public:
    Reader(const BYTE* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    template <typename T> T read() {
        need(sizeof(T));
        T value;
        std::memcpy(&value, bytes_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::wstring string() {
        std::wstring text;
        for (WCHAR c = read<WCHAR>(); c != 0; c = read<WCHAR>())
            text += c;
        return text;
    }

    // sz_Or_Ord: empty (0x0000), an ordinal (0xFFFF, then the number) or a string.
    std::wstring stringOrOrdinal(bool isClass) {
        WORD first = read<WORD>();
        if (first == 0)
            return {};
        if (first == 0xFFFF) {
            WORD ordinal = read<WORD>();
            if (isClass)
                return className(ordinal);
            return L"#" + std::to_wstring(ordinal);
        }
        pos_ -= sizeof(WORD);
        return string();
    }

    void alignTo(std::size_t boundary) { pos_ = (pos_ + boundary - 1) / boundary * boundary; }
    void skip(std::size_t count) {
        need(count);
        pos_ += count;
    }

private:
    static std::wstring className(WORD ordinal) {
        switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(ordinal);
        }
    }

    void need(std::size_t count) const {
        if (pos_ + count > size_)
            throw std::runtime_error("dialog template ends early");
    }

    const BYTE* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

DialogTemplate DialogTemplate::parse(const BYTE* bytes, std::size_t size) {
    Reader in(bytes, size);
    if (in.read<WORD>() != 1 || in.read<WORD>() != 0xFFFF)
        throw std::runtime_error("not an extended dialog template");
    DialogTemplate dialog;
    in.read<DWORD>(); // help id
    dialog.exStyle = in.read<DWORD>();
    dialog.style = in.read<DWORD>();
    WORD count = in.read<WORD>();
    dialog.x = in.read<short>();
    dialog.y = in.read<short>();
    dialog.cx = in.read<short>();
    dialog.cy = in.read<short>();
    dialog.menu = in.stringOrOrdinal(false);
    dialog.windowClass = in.stringOrOrdinal(false);
    dialog.title = in.string();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.read<WORD>();
        dialog.weight = in.read<WORD>();
        in.read<BYTE>(); // italic
        in.read<BYTE>(); // character set
        dialog.typeface = in.string();
    }
    for (WORD i = 0; i < count; ++i) {
        in.alignTo(4);
        DialogItem item;
        in.read<DWORD>(); // help id
        item.exStyle = in.read<DWORD>();
        item.style = in.read<DWORD>();
        item.x = in.read<short>();
        item.y = in.read<short>();
        item.cx = in.read<short>();
        item.cy = in.read<short>();
        item.id = in.read<DWORD>();
        item.className = in.stringOrOrdinal(true);
        item.title = in.stringOrOrdinal(false);
        in.skip(in.read<WORD>()); // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

DialogTemplate DialogTemplate::load(WORD id) {
    ResourceData data = ResourceData::find(RT_DIALOG, id);
    if (data.empty())
        throw std::runtime_error("no dialog resource " + std::to_string(id));
    return parse(data.bytes, data.size);
}

const DialogItem* DialogTemplate::item(DWORD id) const {
    for (const DialogItem& candidate : items)
        if (candidate.id == id)
            return &candidate;
    return nullptr;
}

} // namespace keywhirl::testing
