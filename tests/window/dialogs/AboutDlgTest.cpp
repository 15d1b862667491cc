// tests/window/dialogs/AboutDlgTest.cpp - the about box and its web link.
#include "about/AboutDlg.h"

#include "DialogTestSupport.h"
#include "about/CFileVersionInfo.h"
#include "about/CHyperLink.h"
#include "localization/Locale.h"
#include "ui/Dialog.h"

#include "KeywhirlVersion.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace keywhirl {
namespace {

using testing::itemText;
using testing::rectInParent;

constexpr int kPictureWidth = 450;
constexpr int kPictureHeight = 435;

// Rows of the box, top to bottom: label and value.
constexpr int kRows[][2] = {
    {IDC_ABOUT_VERSION_LABEL, IDC_ABOUT_VERSION},
    {IDC_ABOUT_PROGRAMMER_LABEL, IDC_ABOUT_PROGRAMMER},
    {IDC_ABOUT_IDEA_LABEL, IDC_ABOUT_IDEA},
    {IDC_ABOUT_DESIGNER_LABEL, IDC_ABOUT_DESIGNER},
    {IDC_ABOUT_WEBPAGE_LABEL, IDC_ABOUT_LINK},
};

// Stands in for the shell while a test runs: records what a link opens.
class OpenedAddresses {
public:
    OpenedAddresses() {
        addresses().clear();
        CHyperLink::SetOpener(&OpenedAddresses::record);
    }
    ~OpenedAddresses() { CHyperLink::SetOpener(nullptr); }
    OpenedAddresses(const OpenedAddresses&) = delete;
    OpenedAddresses& operator=(const OpenedAddresses&) = delete;

    static std::vector<std::wstring>& addresses() {
        static std::vector<std::wstring> opened;
        return opened;
    }

private:
    static bool record(const std::wstring& address) {
        addresses().push_back(address);
        return true;
    }
};

bool isUnderlined(HFONT font) {
    LOGFONTW description{};
    if (font == nullptr || ::GetObjectW(font, sizeof(description), &description) == 0)
        return false;
    return description.lfUnderline != FALSE;
}

HFONT fontOf(HWND window) {
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

// What the static control id of dialog would draw its text with.
struct StaticColours {
    COLORREF text;
    int backgroundMode;
    HBRUSH brush;
};

StaticColours coloursOf(HWND dialog, int id) {
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::SetTextColor(dc.get(), RGB(1, 2, 3));
    ::SetBkMode(dc.get(), OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id))));
    return {::GetTextColor(dc.get()), ::GetBkMode(dc.get()), brush};
}

class AboutDlgTest : public ::testing::Test {
protected:
    AboutDlgTest() {
        languages.add(L"AAA", testing::dialogTexts(L"AAA", L"Zebra"));
        languages.start(L"AAA");
    }

    std::unique_ptr<AboutDlg> open(HMODULE versionSource = nullptr) {
        auto dialog = std::make_unique<AboutDlg>(versionSource);
        EXPECT_TRUE(dialog->createModeless(IDD_ABOUT_DIALOG, nullptr));
        return dialog;
    }

    static HWND link(const AboutDlg& dialog) { return ::GetDlgItem(dialog, IDC_ABOUT_LINK); }

    testing::LanguageSetup languages;
    OpenedAddresses opened;
};

TEST_F(AboutDlgTest, IsThePictureSizeInTheMiddleOfTheScreen) {
    auto dialog = open();
    RECT window{};
    RECT client{};
    ::GetWindowRect(*dialog, &window);
    ::GetClientRect(*dialog, &client);
    EXPECT_EQ(kPictureWidth, window.right - window.left);
    EXPECT_EQ(kPictureHeight, window.bottom - window.top);
    EXPECT_EQ(kPictureWidth, client.right);
    EXPECT_EQ(kPictureHeight, client.bottom);
    EXPECT_EQ((::GetSystemMetrics(SM_CXSCREEN) - kPictureWidth) / 2, window.left);
    EXPECT_EQ((::GetSystemMetrics(SM_CYSCREEN) - kPictureHeight) / 2, window.top);
}

TEST_F(AboutDlgTest, ShowsTheProductVersionOfTheVersionResource) {
    auto dialog = open();
    CFileVersionInfo program;
    ASSERT_TRUE(program.Open());
    EXPECT_EQ(KEYWHIRL_VERSION_WIDE, program.GetProductVersion());
    EXPECT_EQ(program.GetProductVersion(), itemText(*dialog, IDC_ABOUT_VERSION));

    // The template holds the same text as the program's resource; another
    // file's version tells whether the text comes from the resource at all.
    const HMODULE other = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(nullptr, other);
    CFileVersionInfo otherInfo;
    ASSERT_TRUE(otherInfo.Open(other));
    ASSERT_FALSE(otherInfo.GetProductVersion().empty());
    ASSERT_NE(KEYWHIRL_VERSION_WIDE, otherInfo.GetProductVersion());
    auto otherDialog = open(other);
    EXPECT_EQ(otherInfo.GetProductVersion(), itemText(*otherDialog, IDC_ABOUT_VERSION));
}

TEST_F(AboutDlgTest, LaysOutLabelsAndValuesAroundTheCentre) {
    ui::Dialog plain;
    ASSERT_TRUE(plain.createModeless(IDD_ABOUT_DIALOG, nullptr));
    auto dialog = open();

    int top = 308;
    for (const auto& row : kRows) {
        for (int id : row) {
            SCOPED_TRACE(id);
            const RECT before = rectInParent(::GetDlgItem(plain, id));
            const RECT after = rectInParent(::GetDlgItem(*dialog, id));
            EXPECT_EQ(top, after.top);
            EXPECT_EQ(before.right - before.left, after.right - after.left);
            EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
            if (id == row[0])
                EXPECT_EQ(kPictureWidth / 2 - 8, after.right);
            else
                EXPECT_EQ(kPictureWidth / 2 + 8, after.left);
        }
        top += 15;
    }
    EXPECT_EQ(368 + 15, top);
}

TEST_F(AboutDlgTest, LabelsComeFromTheLanguageAndCreditsFromTheTemplate) {
    auto dialog = open();
    EXPECT_EQ(L"AAA productVersion", itemText(*dialog, IDC_ABOUT_VERSION_LABEL));
    EXPECT_EQ(L"AAA programmer", itemText(*dialog, IDC_ABOUT_PROGRAMMER_LABEL));
    EXPECT_EQ(L"AAA ideaCreator", itemText(*dialog, IDC_ABOUT_IDEA_LABEL));
    EXPECT_EQ(L"AAA designer", itemText(*dialog, IDC_ABOUT_DESIGNER_LABEL));
    EXPECT_EQ(L"AAA webPage", itemText(*dialog, IDC_ABOUT_WEBPAGE_LABEL));
    for (int id : {IDC_ABOUT_PROGRAMMER, IDC_ABOUT_IDEA, IDC_ABOUT_DESIGNER})
        EXPECT_EQ(L"The Keywhirl team", itemText(*dialog, id));
}

TEST(AboutDlgWithoutLanguage, LeavesTheLabelsEmptyAndStillShowsVersionAndLink) {
    testing::LanguageSetup noLanguages;
    noLanguages.start(L"");
    AboutDlg dialog;
    ASSERT_TRUE(dialog.createModeless(IDD_ABOUT_DIALOG, nullptr));
    for (const auto& row : kRows)
        EXPECT_EQ(L"", itemText(dialog, row[0])) << row[0];
    EXPECT_EQ(KEYWHIRL_VERSION_WIDE, itemText(dialog, IDC_ABOUT_VERSION));
    EXPECT_FALSE(itemText(dialog, IDC_ABOUT_LINK).empty());
}

TEST(AboutDlgWebSite, RussianSystemsGetTheirOwnSite) {
    const AboutDlg::WebSite russian = AboutDlg::webSiteFor(L"RUS");
    EXPECT_EQ(L"ru.keywhirl.example", russian.shown);
    EXPECT_EQ(L"https://ru.keywhirl.example/", russian.address);
    for (const wchar_t* other : {L"ENU", L"UKR", L"DEU", L"rus", L""}) {
        const AboutDlg::WebSite site = AboutDlg::webSiteFor(other);
        EXPECT_EQ(L"keywhirl.example", site.shown) << other;
        EXPECT_EQ(L"https://keywhirl.example/", site.address) << other;
    }
}

TEST_F(AboutDlgTest, TheLinkShowsTheSiteOfTheSystemLanguageAndOpensIt) {
    const AboutDlg::WebSite site =
        AboutDlg::webSiteFor(Locale(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT)).toString());
    auto dialog = open();
    EXPECT_EQ(site.shown, itemText(*dialog, IDC_ABOUT_LINK));
    EXPECT_TRUE(::GetWindowLongPtrW(link(*dialog), GWL_STYLE) & SS_NOTIFY);

    ::SendMessageW(link(*dialog), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(std::vector<std::wstring>{site.address}, OpenedAddresses::addresses());
    // The space bar opens it too, when released.
    ::SendMessageW(link(*dialog), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(1u, OpenedAddresses::addresses().size());
    ::SendMessageW(link(*dialog), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(2u, OpenedAddresses::addresses().size());
    ::SendMessageW(link(*dialog), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(2u, OpenedAddresses::addresses().size());
}

TEST_F(AboutDlgTest, TheLinkTurnsFromBlueToPurpleWhenFollowedAndTheTextsLieOnThePicture) {
    auto dialog = open();
    const StaticColours fresh = coloursOf(*dialog, IDC_ABOUT_LINK);
    EXPECT_EQ(RGB(0, 0, 255), fresh.text);
    EXPECT_EQ(TRANSPARENT, fresh.backgroundMode);
    EXPECT_EQ(::GetStockObject(NULL_BRUSH), fresh.brush);

    // Other texts keep their colour.
    const StaticColours label = coloursOf(*dialog, IDC_ABOUT_WEBPAGE_LABEL);
    EXPECT_EQ(RGB(1, 2, 3), label.text);
    EXPECT_EQ(TRANSPARENT, label.backgroundMode);
    EXPECT_EQ(::GetStockObject(NULL_BRUSH), label.brush);

    ::SendMessageW(link(*dialog), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(RGB(128, 0, 128), coloursOf(*dialog, IDC_ABOUT_LINK).text);
}

TEST_F(AboutDlgTest, AFailedOpenIsNotReportedAndStillCountsAsFollowed) {
    // The real shell, on a file that is not there: it fails quietly.
    EXPECT_FALSE(CHyperLink::OpenWithShell(L"Z:\\keywhirl-no-such-folder\\no-such-file.none"));

    CHyperLink::SetOpener(nullptr);
    ui::Dialog plain;
    ASSERT_TRUE(plain.createModeless(IDD_ABOUT_DIALOG, nullptr));
    CHyperLink shellLink;
    ASSERT_TRUE(shellLink.AttachToStatic(plain, IDC_ABOUT_LINK,
                                         L"Z:\\keywhirl-no-such-folder\\no-such-file.none"));
    ::SendMessageW(shellLink, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(shellLink.IsVisited());
    // A dialog that does not colour its statics itself gets the link colour
    // on the dialog face.
    const StaticColours colours = coloursOf(plain, IDC_ABOUT_LINK);
    EXPECT_EQ(RGB(128, 0, 128), colours.text);
    EXPECT_EQ(::GetSysColorBrush(COLOR_3DFACE), colours.brush);
}

TEST_F(AboutDlgTest, HoveringUnderlinesTheLinkUntilThePointerLeavesIt) {
    auto dialog = open();
    ::ShowWindow(*dialog, SW_SHOWNOACTIVATE);
    const HWND control = link(*dialog);
    const HFONT plainFont = fontOf(control);
    EXPECT_FALSE(isUnderlined(plainFont));

    ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(isUnderlined(fontOf(control)));
    EXPECT_EQ(control, ::GetCapture());
    // Moving on inside changes nothing.
    ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(isUnderlined(fontOf(control)));
    EXPECT_EQ(control, ::GetCapture());

    ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(-4, 3));
    EXPECT_EQ(nullptr, ::GetCapture());
    EXPECT_EQ(plainFont, fontOf(control));

    // Losing the capture to somebody else ends the hover as well.
    ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(control, ::GetCapture());
    ::SetCapture(*dialog);
    EXPECT_EQ(plainFont, fontOf(control));
    ::ReleaseCapture();
}

TEST_F(AboutDlgTest, TheLinkShowsTheHandCursor) {
    auto dialog = open();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(TRUE,
              ::SendMessageW(link(*dialog), WM_SETCURSOR, reinterpret_cast<WPARAM>(link(*dialog)),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
}

TEST_F(AboutDlgTest, TheUnderlinedFontLivesAsLongAsTheLastLink) {
    auto first = open();
    auto second = open();
    ::SendMessageW(link(*first), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    const HFONT underlined = fontOf(link(*first));
    ASSERT_TRUE(isUnderlined(underlined));
    ::ReleaseCapture();

    first.reset();
    EXPECT_TRUE(isUnderlined(underlined));
    ::SendMessageW(link(*second), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(underlined, fontOf(link(*second)));
    ::ReleaseCapture();

    second.reset();
    LOGFONTW description{};
    EXPECT_EQ(0, ::GetObjectW(underlined, sizeof(description), &description));
}

TEST_F(AboutDlgTest, PaintsThePictureWithABlackFrame) {
    auto dialog = open();
    ::ShowWindow(*dialog, SW_SHOWNOACTIVATE);
    ::UpdateWindow(*dialog);
    testing::pumpMessages();
    POINT origin{0, 0};
    ::ClientToScreen(*dialog, &origin);
    for (POINT edge : {POINT{0, 0}, POINT{449, 200}, POINT{200, 434}, POINT{0, 434}})
        EXPECT_EQ(RGB(0, 0, 0), testing::screenPixel(origin.x + edge.x, origin.y + edge.y))
            << edge.x << "," << edge.y;
    for (POINT inside : {POINT{1, 1}, POINT{225, 120}, POINT{40, 420}})
        EXPECT_EQ(testing::bitmapPixel(IDB_ABOUT, inside.x, inside.y),
                  testing::screenPixel(origin.x + inside.x, origin.y + inside.y))
            << inside.x << "," << inside.y;
}

TEST_F(AboutDlgTest, AClickOnThePictureClosesIt) {
    auto dialog = open();
    ::SendMessageW(*dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    EXPECT_TRUE(testing::pumpUntil([&] { return !::IsWindow(*dialog); }));
    // The labels let the click through to the picture; the link does not.
    auto again = open();
    const LRESULT onLabel = ::SendMessageW(::GetDlgItem(*again, IDC_ABOUT_VERSION_LABEL),
                                           WM_NCHITTEST, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(HTTRANSPARENT, onLabel);
    RECT linkRect{};
    ::GetWindowRect(link(*again), &linkRect);
    EXPECT_NE(HTTRANSPARENT, ::SendMessageW(link(*again), WM_NCHITTEST, 0,
                                            MAKELPARAM(linkRect.left + 1, linkRect.top + 1)));
}

void CALLBACK clickOnAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = ::FindWindowW(L"#32770", nullptr);
    if (box == nullptr || !::IsWindowVisible(box))
        return;
    ::KillTimer(nullptr, timer);
    ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
}

TEST_F(AboutDlgTest, RunsModallyUntilClicked) {
    AboutDlg dialog;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &clickOnAboutBox);
    EXPECT_EQ(IDCANCEL, dialog.run(nullptr));
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(nullptr, dialog.handle());
}

} // namespace
} // namespace keywhirl
