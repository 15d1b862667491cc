// tests/unit/input/QuietDecisionTest.cpp
#include "input/QuietDecision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keywhirl {
namespace {

const RECT kMonitor{0, 0, 1280, 1024};
const RECT kSecondMonitor{1280, 0, 2304, 768};
const std::vector<std::wstring> kIgnored{L"game.exe", L" Slides.EXE "};

struct Desk {
    const char* name;
    bool paused;
    RECT foreground;
    RECT monitor;
    bool shell;
    bool framedMaximized;
    int notification;
    const wchar_t* program;
    const wchar_t* focusedClass;
    LONG focusedStyle;
    QuietLevel expected;
};

constexpr int kAccepts = 5; // QUNS_ACCEPTS_NOTIFICATIONS
constexpr LONG kPassword = ES_PASSWORD | ES_AUTOHSCROLL;
constexpr QuietLevel N = QuietLevel::Normal;
constexpr QuietLevel Q = QuietLevel::Quiet;
constexpr QuietLevel X = QuietLevel::NotCounted;

// One made-up desktop a row.
const Desk kDesks[] = {
    {"an ordinary window",
     false,
     {100, 100, 900, 700},
     kMonitor,
     false,
     false,
     kAccepts,
     L"notepad.exe",
     L"Edit",
     ES_MULTILINE,
     N},
    {"a window exactly the size of its monitor", false, kMonitor, kMonitor, false, false, 0,
     L"player.exe", L"", 0, Q},
    {"a full-screen window reaching past its monitor",
     false,
     {-3, -3, 1283, 1027},
     kMonitor,
     false,
     false,
     0,
     L"player.exe",
     L"",
     0,
     Q},
    {"one pixel short of the bottom",
     false,
     {0, 0, 1280, 1023},
     kMonitor,
     false,
     false,
     0,
     L"player.exe",
     L"",
     0,
     N},
    {"one pixel short on the left",
     false,
     {1, 0, 1280, 1024},
     kMonitor,
     false,
     false,
     0,
     L"player.exe",
     L"",
     0,
     N},
    {"full screen on the second monitor", false, kSecondMonitor, kSecondMonitor, false, false, 0,
     L"player.exe", L"", 0, Q},
    {"the second monitor's size seen against the first", false, kSecondMonitor, kMonitor, false,
     false, 0, L"player.exe", L"", 0, N},
    {"the desktop covers its monitor", false, kMonitor, kMonitor, true, false, 0, L"explorer.exe",
     L"SysListView32", 0, N},
    {"a maximized window with a title bar on a monitor without taskbar",
     false,
     {-8, -8, 1288, 1032},
     kMonitor,
     false,
     true,
     0,
     L"word.exe",
     L"",
     0,
     N},
    {"no foreground window, no monitor", false, {}, {}, false, false, 0, L"", L"", 0, N},
    {"an empty monitor rectangle", false, kMonitor, {}, false, false, 0, L"x.exe", L"", 0, N},
    {"a busy system (full-screen program)",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     2,
     L"x.exe",
     L"",
     0,
     Q},
    {"a Direct3D full-screen program",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     3,
     L"x.exe",
     L"",
     0,
     Q},
    {"presentation mode", false, {10, 10, 20, 20}, kMonitor, false, false, 4, L"x.exe", L"", 0, Q},
    {"quiet hours are not a full screen",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     6,
     L"x.exe",
     L"",
     0,
     N},
    {"an ignored program",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"game.exe",
     L"",
     0,
     X},
    {"an ignored program, named in other case",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"GAME.EXE",
     L"",
     0,
     X},
    {"a listed name with blanks around it",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"slides.exe",
     L"",
     0,
     X},
    {"a name that only begins like an ignored one",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"game.exe.bak",
     L"",
     0,
     N},
    {"an ignored program in full screen counts nothing", false, kMonitor, kMonitor, false, false, 3,
     L"game.exe", L"", 0, X},
    {"a password edit",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"Edit",
     kPassword,
     X},
    {"a password edit, class in other case",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"EDIT",
     ES_PASSWORD,
     X},
    {"a rich edit hiding its text",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"RICHEDIT50W",
     ES_PASSWORD,
     X},
    {"a framework's edit hiding its text",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"WindowsForms10.EDIT.app.0.141b42a_r9_ad1",
     ES_PASSWORD,
     X},
    {"an ordinary edit",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"Edit",
     ES_AUTOHSCROLL | ES_LOWERCASE,
     N},
    {"a button whose style has the same bit",
     false,
     {10, 10, 20, 20},
     kMonitor,
     false,
     false,
     kAccepts,
     L"app.exe",
     L"Button",
     ES_PASSWORD,
     N},
    {"a password edit in full screen counts nothing", false, kMonitor, kMonitor, false, false, 0,
     L"app.exe", L"Edit", ES_PASSWORD, X},
    {"the pause, in an ordinary window",
     true,
     {100, 100, 900, 700},
     kMonitor,
     false,
     false,
     kAccepts,
     L"notepad.exe",
     L"Edit",
     0,
     X},
    {"the pause outweighs full screen", true, kMonitor, kMonitor, false, false, 3, L"x.exe", L"", 0,
     X},
};

TEST(QuietDecisionTest, EachMadeUpDesktopGetsItsLevel) {
    for (const Desk& desk : kDesks) {
        DesktopFacts facts;
        facts.paused = desk.paused;
        facts.foreground = desk.foreground;
        facts.monitor = desk.monitor;
        facts.shellWindow = desk.shell;
        facts.framedMaximized = desk.framedMaximized;
        facts.notificationState = desk.notification;
        facts.program = desk.program;
        facts.ignoredPrograms = &kIgnored;
        facts.focusedClass = desk.focusedClass;
        facts.focusedStyle = desk.focusedStyle;
        EXPECT_EQ(decideQuiet(facts), desk.expected) << desk.name;
    }
}

TEST(QuietDecisionTest, WithoutAListNoProgramIsIgnored) {
    DesktopFacts facts;
    facts.program = L"game.exe";
    EXPECT_EQ(decideQuiet(facts), QuietLevel::Normal);
    const std::vector<std::wstring> blank{L"", L"  "};
    facts.ignoredPrograms = &blank;
    facts.program = L" ";
    EXPECT_EQ(decideQuiet(facts), QuietLevel::Normal) << "a blank name matches no blank entry";
}

TEST(QuietDecisionTest, TheProgramIsTheLastPartOfItsPath) {
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Games\\game.exe", L"game.exe"},
        {L"C:/Program Files/x/Tool.EXE", L"Tool.EXE"},
        {L"game.exe", L"game.exe"},
        {L"C:\\folder\\", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(programFileName(c.path), c.name) << std::wstring(c.path).size();
}

TEST(QuietDecisionTest, TheStricterOfTwoLevelsWins) {
    EXPECT_EQ(strictest(N, Q), Q);
    EXPECT_EQ(strictest(X, Q), X);
    EXPECT_EQ(strictest(N, N), N);
}

} // namespace
} // namespace keywhirl
