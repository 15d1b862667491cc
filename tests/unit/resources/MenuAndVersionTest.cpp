// tests/unit/resources/MenuAndVersionTest.cpp - the tray menu template, the
// version resource and the manifest.
#include "ResourceData.h"

#include "KeywhirlVersion.h"
#include "resource.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace keywhirl {
namespace {

struct MenuLine {
    UINT id; // 0: a separator
    const wchar_t* text;
};

TEST(TrayMenuTemplate, OnePopupWithTheItemsAndSeparatorsInOrder) {
    utils::UniqueMenu menu(
        ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(::GetMenuItemCount(menu.get()), 1);
    wchar_t name[64] = {};
    ::GetMenuStringW(menu.get(), 0, name, 64, MF_BYPOSITION);
    EXPECT_STREQ(name, L"TrayPopupMenu");

    HMENU popup = ::GetSubMenu(menu.get(), 0);
    ASSERT_NE(popup, nullptr);
    // Switches, quiet, windows, the reset, help, exit; each item with its
    // access letter.
    const std::vector<MenuLine> expected = {
        {ID_TRAY_AUTOPOPUP, L"&Автоматическая подсказка"},
        {ID_TRAY_METRONOME, L"&Метроном"},
        {ID_TRAY_KEYPRESS_SOUND, L"&Озвучивать нажатия клавиш"},
        {ID_TRAY_SHOW_STATISTICS, L"&Показывать статистику"},
        {ID_TRAY_WEAK_KEYS, L"&Слабые клавиши"},
        {ID_TRAY_AUTORUN, L"Авто&загрузка программы"},
        {0, nullptr},
        {ID_TRAY_IGNORE_PROGRAM, L"&Не замечать программу"},
        {ID_TRAY_PAUSE, L"Приостанови&ть Keywhirl"},
        {0, nullptr},
        {ID_TRAY_SETTINGS, L"Настро&йки..."},
        {ID_TRAY_HISTORY, L"&История..."},
        {0, nullptr},
        {ID_TRAY_RESET_WEAK_KEYS, L"С&бросить слабые клавиши..."},
        {0, nullptr},
        {ID_TRAY_HELP, L"Сп&равка"},
        {ID_TRAY_ABOUT, L"О про&грамме"},
        {0, nullptr},
        {ID_TRAY_EXIT, L"&Выход"},
    };
    ASSERT_EQ(::GetMenuItemCount(popup), int(expected.size()));
    for (UINT i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("position " + std::to_string(i));
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        ASSERT_TRUE(::GetMenuItemInfoW(popup, i, TRUE, &info));
        if (expected[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(info.wID, expected[i].id);
        EXPECT_STREQ(text, expected[i].text);
        EXPECT_EQ(info.hSubMenu, nullptr);
        EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_DISABLED | MFS_DEFAULT), 0u)
            << "check marks come from the settings, not from the template";
    }
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        DWORD ignored = 0;
        DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
        ASSERT_GT(size, 0u);
        block.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));
    }

    std::wstring string(const wchar_t* name) {
        std::wstring query = L"\\StringFileInfo\\040904b0\\";
        query += name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                              &length) ||
            value == nullptr)
            return L"<missing>";
        return value;
    }

    std::vector<BYTE> block;
};

TEST_F(VersionResource, FixedPartCarriesTheProjectVersionOfAnApplication) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // the about box copies the block only when it has exactly this size
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    ASSERT_EQ(length, 52u);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(KEYWHIRL_VERSION_MINOR, KEYWHIRL_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KEYWHIRL_VERSION_PATCH);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & VS_FF_DEBUG, 0u);
}

TEST_F(VersionResource, StringsNameTheProductItsMakerAndVersion) {
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u) << "one language, one code page";
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(string(L"ProductName"), L"Keywhirl");
    // the same three numbers everywhere the user reads a version
    const std::wstring version = KEYWHIRL_VERSION_WIDE;
    EXPECT_EQ(std::count(version.begin(), version.end(), L'.'), 2) << "major.minor.patch";
    EXPECT_EQ(string(L"ProductVersion"), version);
    EXPECT_EQ(string(L"FileVersion"), version);
    EXPECT_EQ(string(L"CompanyName"), L"The Keywhirl team");
    EXPECT_EQ(string(L"InternalName"), L"Keywhirl");
    // the about box asks with this spelling; the lookup ignores case
    EXPECT_EQ(string(L"OriginalFileName"), L"Keywhirl.exe");
    for (const wchar_t* name : {L"FileDescription", L"LegalCopyright", L"Comments"})
        EXPECT_NE(string(name), L"<missing>") << name;
}

TEST(Manifest, AsksForCommonControlsSixWithoutElevation) {
    testing::ResourceData data = testing::ResourceData::find(RT_MANIFEST, 1);
    ASSERT_FALSE(data.empty());
    std::string text(reinterpret_cast<const char*>(data.bytes), data.size);
    auto has = [&](const char* piece) { return text.find(piece) != std::string::npos; };
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_TRUE(has("version=\"6.0.0.0\""));
    EXPECT_TRUE(has("publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_TRUE(has("level=\"asInvoker\""));
    EXPECT_TRUE(has("uiAccess=\"false\""));
    // one namespace declaration on trustInfo: a doubled one upsets Windows XP SP2
    std::size_t trust = text.find("<trustInfo");
    ASSERT_NE(trust, std::string::npos);
    std::string element = text.substr(trust, text.find('>', trust) - trust);
    EXPECT_EQ(element.find("xmlns"), element.rfind("xmlns"));
}

} // namespace
} // namespace keywhirl
