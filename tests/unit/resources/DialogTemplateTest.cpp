// tests/unit/resources/DialogTemplateTest.cpp - the dialog templates as the
// windows that are created from them rely on them.
#include "DialogTemplate.h"
#include "ResourceData.h"

#include "KeywhirlVersion.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cwctype>

namespace keywhirl {
namespace {

using testing::DialogItem;
using testing::DialogTemplate;

bool sameClass(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

struct ExpectedItem {
    DWORD id;
    const wchar_t* className;
    short x, y, cx, cy;
    DWORD requiredStyle;
    DWORD typeMask; // the low style bits that pick the control's kind
    DWORD type;
};

void expectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id) << "controls keep their order";
        EXPECT_TRUE(sameClass(item.className, want.className));
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style & want.requiredStyle, want.requiredStyle);
        EXPECT_EQ(item.style & want.typeMask, want.type);
    }
}

void expectShellFont(const DialogTemplate& dialog) {
    EXPECT_TRUE(dialog.style & DS_SETFONT);
    EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
    EXPECT_EQ(dialog.pointSize, 8);
}

// No caption, no frame: the picture is the whole window.
void expectBareFrame(const DialogTemplate& dialog) {
    EXPECT_EQ(dialog.style & (WS_CAPTION | WS_THICKFRAME | DS_MODALFRAME), 0u);
    EXPECT_EQ(dialog.style & WS_VISIBLE, 0u) << "created hidden";
    EXPECT_TRUE(dialog.style & WS_POPUP);
}

TEST(DialogTemplates, MainWindowIsACaptionedPopupThatASecondInstanceFindsByName) {
    DialogTemplate dialog = DialogTemplate::load(IDD_KEYWHIRL_DIALOG);
    EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(dialog.style & WS_VISIBLE, 0u);
    EXPECT_EQ(dialog.exStyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(dialog.cx, 97);
    EXPECT_EQ(dialog.cy, 47);
    EXPECT_EQ(dialog.title, L"Keywhirl");
    EXPECT_TRUE(dialog.windowClass.empty()) << "the dialog class #32770";
    EXPECT_TRUE(dialog.items.empty());
    expectShellFont(dialog);
}

TEST(DialogTemplates, KeyboardWindowHasAVisibleMinimizeButtonAndAHiddenCloseButton) {
    DialogTemplate dialog = DialogTemplate::load(IDD_KEYBOARD_DIALOG);
    expectBareFrame(dialog);
    EXPECT_EQ(dialog.style & (DS_CENTER | DS_FIXEDSYS), DWORD(DS_CENTER | DS_FIXEDSYS));
    EXPECT_EQ(dialog.exStyle, DWORD(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_EQ(dialog.cx, 424);
    EXPECT_EQ(dialog.cy, 238);
    EXPECT_TRUE(dialog.title.empty());
    expectShellFont(dialog);
    expectItems(dialog, {
                            {IDC_KEYBOARD_MINIMIZE, L"Button", 175, 7, 12, 10,
                             WS_CHILD | WS_VISIBLE, BS_TYPEMASK, BS_OWNERDRAW},
                            {IDC_KEYBOARD_CLOSE, L"Button", 154, 7, 12, 10, WS_CHILD, BS_TYPEMASK,
                             BS_OWNERDRAW},
                        });
    EXPECT_EQ(dialog.item(IDC_KEYBOARD_CLOSE)->style & WS_VISIBLE, 0u);
    EXPECT_EQ(dialog.item(IDC_KEYBOARD_MINIMIZE)->title, L"");
    EXPECT_EQ(dialog.item(IDC_KEYBOARD_CLOSE)->title, L" ");
}

TEST(DialogTemplates, AboutBoxPairsRightAlignedLabelsWithLeftAlignedValues) {
    DialogTemplate dialog = DialogTemplate::load(IDD_ABOUT_DIALOG);
    EXPECT_EQ(dialog.style & (WS_POPUP | WS_SYSMENU | DS_CENTER),
              DWORD(WS_POPUP | WS_SYSMENU | DS_CENTER));
    EXPECT_EQ(dialog.style & WS_CAPTION, 0u) << "captionless: the picture fills it";
    EXPECT_TRUE(dialog.exStyle & WS_EX_TOPMOST);
    expectShellFont(dialog);

    const DWORD labels[] = {IDC_ABOUT_VERSION_LABEL, IDC_ABOUT_PROGRAMMER_LABEL,
                            IDC_ABOUT_IDEA_LABEL, IDC_ABOUT_DESIGNER_LABEL,
                            IDC_ABOUT_WEBPAGE_LABEL};
    const DWORD values[] = {IDC_ABOUT_VERSION, IDC_ABOUT_PROGRAMMER, IDC_ABOUT_IDEA,
                            IDC_ABOUT_DESIGNER, IDC_ABOUT_LINK};
    ASSERT_EQ(dialog.items.size(), 10u);
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const DialogItem* label = dialog.item(labels[row]);
        const DialogItem* value = dialog.item(values[row]);
        ASSERT_NE(label, nullptr);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(label->className, L"Static");
        EXPECT_EQ(value->className, L"Static");
        EXPECT_EQ(label->style & SS_TYPEMASK, DWORD(SS_RIGHT));
        EXPECT_EQ(value->style & SS_TYPEMASK, DWORD(SS_LEFT));
        // the rows are laid out 15 pixels apart: a taller text would overlap
        EXPECT_LE(label->cy, 9);
        EXPECT_LE(value->cy, 9);
        EXPECT_FALSE(value->title.empty()) << "the template's text is the fallback";
    }
    EXPECT_EQ(dialog.item(IDC_ABOUT_VERSION)->title, KEYWHIRL_VERSION_WIDE);
}

TEST(DialogTemplates, SettingsDialogControlsSitWhereItsLayoutPutsThem) {
    DialogTemplate dialog = DialogTemplate::load(IDD_SETTINGS_DIALOG);
    EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_TRUE(dialog.exStyle & WS_EX_TOPMOST);
    expectShellFont(dialog);
    // the buttons stand below everything else, inside the template
    EXPECT_GE(dialog.cy, 269 + 14);

    const DWORD shown = WS_CHILD | WS_VISIBLE;
    const DWORD numberEdit = shown | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
    const DWORD slider = shown | TBS_BOTH | TBS_NOTICKS | TBS_ENABLESELRANGE;
    const wchar_t* trackbar = L"msctls_trackbar32";
    expectItems(
        dialog,
        {
            {IDOK, L"Button", 40, 269, 50, 14, shown, BS_TYPEMASK, BS_DEFPUSHBUTTON},
            {IDCANCEL, L"Button", 110, 269, 50, 14, shown, BS_TYPEMASK, BS_PUSHBUTTON},
            {IDC_SETTINGS_WAIT_INTERVAL, L"Edit", 144, 30, 29, 13, numberEdit, 0, 0},
            {IDC_SETTINGS_METRONOME_FREQUENCY, L"Edit", 144, 53, 29, 13, numberEdit, 0, 0},
            {IDC_SETTINGS_WAIT_INTERVAL_LABEL, L"Static", 29, 32, 97, 8, shown, 0, 0},
            {IDC_SETTINGS_METRONOME_FREQUENCY_LABEL, L"Static", 31, 55, 95, 8, shown, 0, 0},
            {IDC_SETTINGS_KEYBOARD_OPACITY, trackbar, 7, 92, 187, 12, slider, 0, 0},
            {IDC_SETTINGS_KEYBOARD_OPACITY_LABEL, L"Static", 54, 82, 94, 8, shown, 0, 0},
            {IDC_SETTINGS_STATISTICS_OPACITY, trackbar, 7, 122, 187, 12, slider, 0, 0},
            {IDC_SETTINGS_STATISTICS_OPACITY_LABEL, L"Static", 41, 112, 119, 8, shown, 0, 0},
            {IDC_SETTINGS_OPAQUE_ON_HOVER, L"Button", 11, 145, 179, 10, shown, BS_TYPEMASK,
             BS_AUTOCHECKBOX},
            {IDC_SETTINGS_LANGUAGE_LABEL, L"Static", 11, 164, 74, 8, shown, 0, 0},
            {IDC_SETTINGS_LANGUAGE, L"ComboBox", 92, 163, 102, 57, shown | CBS_SORT | WS_VSCROLL,
             0x3, CBS_DROPDOWNLIST},
            {IDC_SETTINGS_SPEED_UNIT_LABEL, L"Static", 11, 183, 78, 8, shown, 0, 0},
            {IDC_SETTINGS_SPEED_UNIT, L"ComboBox", 92, 182, 102, 40, shown | WS_VSCROLL, 0x3,
             CBS_DROPDOWNLIST},
            {IDC_SETTINGS_FOLLOWS_TYPING, L"Button", 11, 201, 179, 10, shown, BS_TYPEMASK,
             BS_AUTOCHECKBOX},
            {IDC_SETTINGS_IGNORED_LABEL, L"Static", 11, 215, 183, 8, shown, 0, 0},
            {IDC_SETTINGS_IGNORED_LIST, L"ListBox", 11, 225, 128, 38,
             shown | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0},
            {IDC_SETTINGS_IGNORED_REMOVE, L"Button", 144, 225, 50, 14, shown, BS_TYPEMASK,
             BS_PUSHBUTTON},
        });
    EXPECT_EQ(dialog.item(IDC_SETTINGS_KEYBOARD_OPACITY)->style & TBS_VERT, 0u);
}

TEST(DialogTemplates, StatisticsWindowHasOnlyItsOwnerDrawnCloseButton) {
    DialogTemplate dialog = DialogTemplate::load(IDD_STATISTICS_DIALOG);
    expectBareFrame(dialog);
    EXPECT_TRUE(dialog.style & DS_FIXEDSYS);
    EXPECT_EQ(dialog.exStyle, DWORD(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_EQ(dialog.cx, 105);
    EXPECT_EQ(dialog.cy, 54);
    expectShellFont(dialog);
    expectItems(dialog, {
                            {IDC_STATISTICS_CLOSE, L"Button", 86, 7, 12, 10, WS_CHILD | WS_VISIBLE,
                             BS_TYPEMASK, BS_OWNERDRAW},
                        });
}

TEST(DialogTemplates, ReaderRefusesTruncatedAndForeignTemplates) {
    DialogTemplate dialog = DialogTemplate::load(IDD_SETTINGS_DIALOG);
    ASSERT_FALSE(dialog.items.empty());
    testing::ResourceData data = testing::ResourceData::find(RT_DIALOG, IDD_SETTINGS_DIALOG);
    // cut inside the last control: the reader must notice, not read beyond
    EXPECT_THROW(DialogTemplate::parse(data.bytes, data.size - 6), std::runtime_error);
    EXPECT_THROW(DialogTemplate::parse(data.bytes, 10), std::runtime_error);
    std::vector<BYTE> plain(data.bytes, data.bytes + data.size);
    plain[2] = 0; // no 0xFFFF signature: an old-style DLGTEMPLATE
    EXPECT_THROW(DialogTemplate::parse(plain.data(), plain.size()), std::runtime_error);
}

} // namespace
} // namespace keywhirl
