// tests/unit/keyboard/FakeLayouts.cpp
#include "FakeLayouts.h"
#include "utils/CriticalSection.h"

#include <cstring>
#include <string>

namespace keywhirl::testing {

namespace {

constexpr wchar_t kAcute = L'\u00B4';

struct Key {
    unsigned scanCode;
    UINT virtualKey;
    const wchar_t* latin;    // unshifted, shifted; "" types nothing
    const wchar_t* cyrillic; // the same in the Cyrillic layout
};

// What the few keys of the Latin layout's third level type with AltGr.
struct AltGrKey {
    UINT virtualKey;
    wchar_t character;
};
const AltGrKey kAltGrKeys[] = {{'E', L'\u20AC'}, {'Q', L'@'}, {'2', L'\u00B2'}};

// Letters are given in lower case; Shift and Caps Lock make them upper case.
const Key kKeys[] = {
    {0x02, '1', L"1!", L"1!"},
    {0x03, '2', L"2@", L"2\""},
    {0x04, '3', L"3#", L"3\u2116"},
    {0x05, '4', L"4$", L"4;"},
    {0x06, '5', L"5%", L"5%"},
    {0x07, '6', L"6^", L"6:"},
    {0x08, '7', L"7&", L"7?"},
    {0x09, '8', L"8*", L"8*"},
    {0x0A, '9', L"9(", L"9("},
    {0x0B, '0', L"0)", L"0)"},
    {0x0C, VK_OEM_MINUS, nullptr, L"-_"},
    {0x0D, VK_OEM_PLUS, L"=+", L"=+"},
    {0x10, 'Q', L"q", L"\u0439"},
    {0x11, 'W', L"w", L"\u0446"},
    {0x12, 'E', L"e", L"\u0443"},
    {0x13, 'R', L"r", L"\u043A"},
    {0x14, 'T', L"t", L"\u0435"},
    {0x15, 'Y', L"y", L"\u043D"},
    {0x16, 'U', L"u", L"\u0433"},
    {0x17, 'I', L"i", L"\u0448"},
    {0x18, 'O', L"o", L"\u0449"},
    {0x19, 'P', L"p", L"\u0437"},
    {0x1A, VK_OEM_4, L"[{", L"\u0445"},
    {0x1B, VK_OEM_6, L"", L"\u044A"},
    {0x1E, 'A', L"a", L"\u0444"},
    {0x1F, 'S', L"s", L"\u044B"},
    {0x20, 'D', L"d", L"\u0432"},
    {0x21, 'F', L"f", L"\u0430"},
    {0x22, 'G', L"g", L"\u043F"},
    {0x23, 'H', L"h", L"\u0440"},
    {0x24, 'J', L"j", L"\u043E"},
    {0x25, 'K', L"k", L"\u043B"},
    {0x26, 'L', L"l", L"\u0434"},
    {0x27, VK_OEM_1, L";:", L"\u0436"},
    {0x28, VK_OEM_7, nullptr, L"\u044D"},
    {0x29, VK_OEM_3, L"`~", L"\u0451"},
    {0x2B, VK_OEM_5, L"\\|", L"\\/"},
    {0x2C, 'Z', L"z", L"\u044F"},
    {0x2D, 'X', L"x", L"\u0447"},
    {0x2E, 'C', L"c", L"\u0441"},
    {0x2F, 'V', L"v", L"\u043C"},
    {0x30, 'B', L"b", L"\u0438"},
    {0x31, 'N', L"n", L"\u0442"},
    {0x32, 'M', L"m", L"\u044C"},
    {0x33, VK_OEM_COMMA, L",<", L"\u0431"},
    {0x34, VK_OEM_PERIOD, L".>", L"\u044E"},
    {0x35, VK_OEM_2, L"/?", L".,"},
    {0x39, VK_SPACE, L"  ", L"  "},
    {0x2A, VK_LSHIFT, L"", L""},
    {0x36, VK_RSHIFT, L"", L""},
    {0x1D, VK_LCONTROL, L"", L""},
    {0x38, VK_LMENU, L"", L""},
    {0x3A, VK_CAPITAL, L"", L""},
    {0x0E, VK_BACK, L"\b\b", L"\b\b"},
    {0x0F, VK_TAB, L"\t\t", L"\t\t"},
    {0x1C, VK_RETURN, L"\r\r", L"\r\r"},
};

const Key* findByScanCode(unsigned scanCode) {
    for (const Key& key : kKeys)
        if (key.scanCode == scanCode)
            return &key;
    return nullptr;
}

const Key* findByVirtualKey(UINT virtualKey) {
    for (const Key& key : kKeys)
        if (key.virtualKey == virtualKey)
            return &key;
    return nullptr;
}

wchar_t withAcute(wchar_t letter) {
    const wchar_t* plain = L"aeiouyAEIOUY";
    const wchar_t* accented =
        L"\u00E1\u00E9\u00ED\u00F3\u00FA\u00FD\u00C1\u00C9\u00CD\u00D3\u00DA\u00DD";
    for (int i = 0; plain[i]; ++i)
        if (plain[i] == letter)
            return accented[i];
    return 0;
}

wchar_t upper(wchar_t c) {
    ::CharUpperBuffW(&c, 1);
    return c;
}

int put(const std::wstring& text, wchar_t* buffer, int size) {
    int count = 0;
    for (wchar_t c : text)
        if (count < size)
            buffer[count++] = c;
    if (count < size)
        buffer[count] = 0;
    return count;
}

} // namespace

const HKL FakeLayouts::kLatin = reinterpret_cast<HKL>(static_cast<UINT_PTR>(0x7E017E01));
const HKL FakeLayouts::kCyrillic = reinterpret_cast<HKL>(static_cast<UINT_PTR>(0x7E027E02));

FakeLayouts::FakeLayouts() {
    KeyTranslator::setCurrent(this);
}

FakeLayouts::~FakeLayouts() {
    KeyTranslator::setCurrent(nullptr);
}

wchar_t FakeLayouts::pendingAccent() {
    utils::Lock guard(lock);
    wchar_t accent = pending[::GetCurrentThreadId()];
    return accent;
}

UINT FakeLayouts::mapVirtualKey(UINT code, UINT mapType, HKL) {
    if (mapType != MAPVK_VSC_TO_VK)
        return 0;
    const Key* key = findByScanCode(code);
    return key ? key->virtualKey : 0;
}

int FakeLayouts::toUnicode(UINT virtualKey, UINT, const BYTE* keyState, wchar_t* buffer, int size,
                           UINT, HKL layout) {
    ++translationCount;
    const Key* key = findByVirtualKey(virtualKey);
    if (!key)
        return 0;
    bool cyrillic = layout == kCyrillic;
    bool shift = (keyState[VK_SHIFT] & 0x80) != 0;
    bool caps = (keyState[VK_CAPITAL] & 0x01) != 0;
    if ((keyState[VK_CONTROL] & 0x80) && (keyState[VK_MENU] & 0x80)) {
        // The third level: only a few keys of the Latin layout have one.
        for (const AltGrKey& third : kAltGrKeys) {
            if (!cyrillic && third.virtualKey == virtualKey)
                return put(std::wstring(1, third.character), buffer, size);
        }
        return 0;
    }
    bool ctrl = (keyState[VK_CONTROL] & 0x80) != 0;

    utils::Lock guard(lock);
    wchar_t& accent = pending[::GetCurrentThreadId()];
    int result = 0;
    const wchar_t* table = cyrillic ? key->cyrillic : key->latin;
    if (!table && key->virtualKey == VK_OEM_7 && !shift) {
        // The acute dead key: typed twice it gives two accents.
        if (accent) {
            result = put(std::wstring(2, kAcute), buffer, size);
            accent = 0;
        } else {
            put(std::wstring(1, kAcute), buffer, size);
            accent = kAcute;
            result = -1;
        }
    } else {
        std::wstring text;
        if (!table)
            text = key->virtualKey == VK_OEM_7 ? L"\"" : L"ij"; // Shift+' and the ligature key
        else if (std::wcslen(table) == 1)
            text = std::wstring(1, shift != caps ? upper(table[0]) : table[0]);
        else if (std::wcslen(table) == 2)
            text = std::wstring(1, shift ? table[1] : table[0]);
        if (ctrl) {
            // As Windows does: Ctrl with a Latin letter or a bracket types a
            // control character, with any other key nothing.
            wchar_t c = text.size() == 1 ? text[0] : 0;
            bool controls = !cyrillic && ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                                          c == L'[' || c == L']' || c == L'\\');
            text = controls ? std::wstring(1, static_cast<wchar_t>(c & 0x1F)) : std::wstring();
        }
        if (text.empty()) {
            result = 0; // a pending accent waits for a key that types something
        } else if (accent) {
            wchar_t composed = text.size() == 1 ? withAcute(text[0]) : 0;
            if (composed)
                text = std::wstring(1, composed);
            else if (text == L" ")
                text = std::wstring(1, accent);
            else
                text = std::wstring(1, accent) + text;
            accent = 0;
            result = put(text, buffer, size);
        } else {
            result = put(text, buffer, size);
        }
    }
    return result;
}

KeyInfoWrapper KeyEvent::make() const {
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    record.keyboardLayout = layout;
    UINT key = virtualKey;
    if (key == 0) {
        const Key* found = findByScanCode(scanCode);
        key = found ? found->virtualKey : 0;
    }
    record.virtualKey = key;
    record.keyData = 1u | (scanCode & 0xFFu) << 16;
    if (repeat || up)
        record.keyData |= 0x40000000u;
    if (up)
        record.keyData |= 0x80000000u;
    if (shift)
        record.keyState[VK_SHIFT] = record.keyState[VK_LSHIFT] = 0x80;
    if (capsLock)
        record.keyState[VK_CAPITAL] = 0x01;
    if (altGr) {
        for (UINT held : {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU})
            record.keyState[held] = 0x80;
    }
    if (ctrl)
        record.keyState[VK_CONTROL] = record.keyState[VK_LCONTROL] = 0x80;
    return KeyInfoWrapper(record);
}

} // namespace keywhirl::testing
