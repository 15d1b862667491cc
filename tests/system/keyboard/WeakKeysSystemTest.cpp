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

TEST(WeakKeysSystemTest, ResetAsksFirstAndThenForgetsEveryKeyAtOnce) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"keyboardWaitInterval", std::to_wstring(kWaitInterval));
    writeSetting(L"keyboardIsVisible", L"FALSE");
    writeSetting(L"showShortStatistics", L"FALSE");
    writeSetting(L"autoRun", L"FALSE");

    KeywhirlProcess program(programOutputFolder() + L"\\Keywhirl.exe");
    HWND main = program.mainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(probe::typeText(main, L"asdf", 20));
    ::Sleep(kHesitation);
    ASSERT_TRUE(probe::typeText(main, L"j", 20));

    // Answered No: nothing is cleared, nothing written yet.
    ::PostMessageW(main, WM_COMMAND, ID_TRAY_RESET_WEAK_KEYS, 0);
    std::wstring text;
    HWND box = findMessageBox(program.processId(), kTimeout, text);
    ASSERT_NE(box, nullptr) << "the reset asks first";
    EXPECT_NE(text.find(L"Forget which keys"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    ::PostMessageW(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(eventually([&] { return !::IsWindow(box); }, kTimeout));
    EXPECT_EQ(::GetFileAttributesW(weakKeysFile().c_str()), INVALID_FILE_ATTRIBUTES);

    // Answered Yes: the file is written at once, without a key.
    ::PostMessageW(main, WM_COMMAND, ID_TRAY_RESET_WEAK_KEYS, 0);
    box = findMessageBox(program.processId(), kTimeout, text);
    ASSERT_NE(box, nullptr);
    ::PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(eventually(
        [&] { return ::GetFileAttributesW(weakKeysFile().c_str()) != INVALID_FILE_ATTRIBUTES; },
        kTimeout));
    EXPECT_EQ(storedCounts(L"key.024"), std::vector<long>{-1});
    EXPECT_EQ(storedCounts(L"key.01E"), std::vector<long>{-1});

    // Typing on counts from nothing ("a" ends the pause of the dialog).
    ASSERT_TRUE(probe::typeText(main, L"aj", 20));
    ::PostMessageW(main, WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(program.waitForExit(15000));
    std::vector<long> j = storedCounts(L"key.024");
    ASSERT_EQ(j.size(), 3u);
    EXPECT_EQ(j[0], 1);
    EXPECT_EQ(j[1], 0);
    removeKeywhirlSettings();
}

TEST(WeakKeysSystemTest, AnUnreadableFileIsSetAsideAndTheProgramRunsOn) {
    removeKeywhirlSettings();
    deleteRunValue();
    writeSetting(L"l10nLanguageCode", L"ENU");
    writeSetting(L"keyboardIsVisible", L"FALSE");
    writeSetting(L"autoRun", L"FALSE");
    // No [WeakKeys] section: no record at all (a bad line in one is skipped).
    const char garbage[] = "key.024=12,3\r\n\x01\x02";
    {
        HANDLE file = ::CreateFileW(weakKeysFile().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, garbage, sizeof garbage - 1, &written, nullptr);
        ::CloseHandle(file);
    }

    KeywhirlProcess program(programOutputFolder() + L"\\Keywhirl.exe");
    ASSERT_NE(program.mainWindow(), nullptr);
    ASSERT_TRUE(probe::typeText(program.mainWindow(), L"jj", 20));
    ::PostMessageW(program.mainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(program.waitForExit(15000));

    std::vector<long> j = storedCounts(L"key.024");
    ASSERT_EQ(j.size(), 3u);
    EXPECT_EQ(j[0], 2) << "counted from nothing";
    std::wstring aside = weakKeysFile() + L".bad";
    HANDLE file = ::CreateFileW(aside.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "the old file is kept beside";
    char kept[64] = {};
    DWORD read = 0;
    ::ReadFile(file, kept, sizeof kept, &read, nullptr);
    ::CloseHandle(file);
    EXPECT_EQ(std::string(kept, read), std::string(garbage, sizeof garbage - 1));
    removeKeywhirlSettings();
}

} // namespace
} // namespace keywhirl::testing
