// tests/system/keyboard/WeakKeysSystemTest.cpp - hesitations before one key, recorded by the
// real program, tinted on its keyboard picture and kept in WeakKeys.ini.
#include "KeyboardWindow.h"
#include "KeywhirlProcess.h"

#include "Probe.h"
#include "resource.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace keywhirl::testing {
namespace {

const DWORD kWaitInterval = 400;
// Far beyond the wait, far below the break limit of 10 s.
const DWORD kHesitation = 1500;
const DWORD kTimeout = 8000;

struct Cell {
    const char* key;
    int left;
    int top;
};
// Cells of the keyboard picture (47 x 38 pixels): J, and keys typed without
// hesitation, and keys never typed.
const Cell kJ = {"J", 397, 114};
const Cell kOthers[] = {{"A", 97, 114},  {"S", 147, 114}, {"D", 197, 114},
                        {"F", 247, 114}, {"K", 447, 114}, {"Q", 82, 74}};

int warmth(COLORREF colour) {
    return int(GetRValue(colour)) - int(GetBValue(colour));
}

// A pixel of the key face on the screen, in a corner clear of the label.
COLORREF facePixel(HWND keyboard, const Cell& cell) {
    RECT window = {};
    ::GetWindowRect(keyboard, &window);
    HDC screen = ::GetDC(nullptr);
    COLORREF colour = ::GetPixel(screen, window.left + cell.left + 6, window.top + cell.top + 6);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

bool jIsWarmest(HWND keyboard) {
    int j = warmth(facePixel(keyboard, kJ));
    for (const Cell& other : kOthers)
        if (warmth(facePixel(keyboard, other)) + 40 > j)
            return false;
    return true;
}

std::wstring weakKeysFile() {
    std::wstring settings = probe::settingsFilePath();
    return settings.substr(0, settings.find_last_of(L'\\')) + L"\\WeakKeys.ini";
}

// Presses, hesitations and lead time of one table slot, or {-1} if missing.
std::vector<long> storedCounts(const wchar_t* key) {
    wchar_t text[128] = {};
    ::GetPrivateProfileStringW(L"WeakKeys", key, L"", text, 128, weakKeysFile().c_str());
    if (!text[0])
        return {-1};
    std::vector<long> values;
    wchar_t* at = text;
    while (*at) {
        values.push_back(std::wcstol(at, &at, 10));
        if (*at == L',')
            ++at;
        else
            break;
    }
    return values;
}

TEST(WeakKeysSystemTest, HesitationsBeforeOneKeyMakeItTheWarmestAndAreKeptAfterExit) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"keyboardAutoPopupping", L"FALSE");
    writeSetting(L"keyboardWaitInterval", std::to_wstring(kWaitInterval));
    writeSetting(L"keyboardOpacity", L"255");
    writeSetting(L"keyboardIsVisible", L"FALSE");
    writeSetting(L"keyboardPosX", L"10");
    writeSetting(L"keyboardPosY", L"10");
    writeSetting(L"showShortStatistics", L"FALSE");
    writeSetting(L"autoRun", L"FALSE");

    auto program = std::make_unique<KeywhirlProcess>(programOutputFolder() + L"\\Keywhirl.exe");
    HWND main = program->mainWindow();
    ASSERT_NE(main, nullptr);
    HWND keyboard = findKeyboardWindow(program->processId());
    ASSERT_NE(keyboard, nullptr);

    // Steady typing, and four times a long pause before J.
    ASSERT_TRUE(probe::typeText(main, L"asdf", 20));
    for (int i = 0; i < 4; ++i) {
        ::Sleep(kHesitation);
        ASSERT_TRUE(probe::typeText(main, L"j", 20));
        ASSERT_TRUE(probe::typeText(main, L"asdf", 20));
    }

    probe::clickTray(main, WM_LBUTTONUP);
    ASSERT_TRUE(eventually([&] { return ::IsWindowVisible(keyboard) != FALSE; }, kTimeout));
    ::Sleep(500);
    EXPECT_LT(warmth(facePixel(keyboard, kJ)), 30) << "no tint before it is switched on";

    HWND before = ::GetForegroundWindow();
    ::PostMessageW(main, WM_COMMAND, ID_TRAY_WEAK_KEYS, 0);
    EXPECT_TRUE(eventually([&] { return jIsWarmest(keyboard); }, kTimeout))
        << "J " << std::hex << facePixel(keyboard, kJ) << ", A " << facePixel(keyboard, kOthers[0]);
    EXPECT_EQ(::GetForegroundWindow(), before) << "the tint takes no focus";

    ::PostMessageW(main, WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(program->waitForExit(15000));
    program.reset();

    EXPECT_EQ(probe::readSetting(L"showWeakKeys"), L"TRUE");
    std::vector<long> j = storedCounts(L"key.024");
    ASSERT_EQ(j.size(), 3u) << "J's line in "
                            << std::string(weakKeysFile().begin(), weakKeysFile().end());
    EXPECT_EQ(j[0], 4) << "presses";
    EXPECT_EQ(j[1], 4) << "hesitations";
    EXPECT_GE(j[2], long(kHesitation)) << "lead time";
    std::vector<long> a = storedCounts(L"key.01E");
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0], 5);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(storedCounts(L"key.010"), std::vector<long>{-1}) << "Q was never pressed";

    removeKeywhirlSettings();
}

} // namespace
} // namespace keywhirl::testing
