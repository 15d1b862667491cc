// tests/unit/input/QuietDecisionTest.cpp
#include "input/QuietDecision.h"

#include <gtest/gtest.h>

#include <functional>

namespace keywhirl {
namespace {

constexpr QuietLevel N = QuietLevel::Normal, Q = QuietLevel::Quiet, X = QuietLevel::NotCounted;
const RECT kMonitor{0, 0, 1280, 1024};
const RECT kSecond{1280, 0, 2304, 768};
const std::vector<std::wstring> kIgnored{L"game.exe", L" Slides.EXE "};

// One made-up desktop a row: what differs from notepad.exe in an ordinary
// window, typing into a plain edit, with Windows accepting notifications.
struct Desk {
    const char* name;
    std::function<void(DesktopFacts&)> change;
    QuietLevel expected;
};

const RECT kPastMonitor{-3, -3, 1283, 1027}, kShortBelow{0, 0, 1280, 1023};
const RECT kMaximized{-8, -8, 1288, 1032};
using F = DesktopFacts&;

const Desk kDesks[] = {
    {"an ordinary window", [](F) {}, N},
    {"exactly its monitor", [](F f) { f.foreground = kMonitor; }, Q},
    {"past its monitor", [](F f) { f.foreground = kPastMonitor; }, Q},
    {"a pixel short below", [](F f) { f.foreground = kShortBelow; }, N},
    {"the second monitor", [](F f) { f.foreground = f.monitor = kSecond; }, Q},
    {"the second's size on the first", [](F f) { f.foreground = kSecond; }, N},
    {"the desktop", [](F f) { f.foreground = kMonitor, f.shellWindow = true; }, N},
    {"maximized with a title bar", [](F f) { f.foreground = kMaximized, f.framedMaximized = true; },
     N},
    {"no foreground, no monitor", [](F f) { f.foreground = f.monitor = {}; }, N},
    {"busy", [](F f) { f.notificationState = 2; }, Q},
    {"presentation", [](F f) { f.notificationState = 4; }, Q},
    {"quiet hours", [](F f) { f.notificationState = 6; }, N},
    {"an ignored program", [](F f) { f.program = L"GAME.EXE"; }, X},
    {"listed with blanks", [](F f) { f.program = L"slides.exe"; }, X},
    {"a longer name", [](F f) { f.program = L"game.exe.bak"; }, N},
    {"no list", [](F f) { f.program = L"game.exe", f.ignoredPrograms = nullptr; }, N},
    {"ignored, in full screen", [](F f) { f.program = L"game.exe", f.notificationState = 3; }, X},
    {"a password edit", [](F f) { f.focusedStyle = ES_PASSWORD | ES_AUTOHSCROLL; }, X},
    {"a rich edit", [](F f) { f.focusedClass = L"RICHEDIT50W", f.focusedStyle = ES_PASSWORD; }, X},
    {"a framework's edit",
     [](F f) { f.focusedClass = L"WindowsForms10.EDIT.app", f.focusedStyle = ES_PASSWORD; }, X},
    {"a button with that bit",
     [](F f) { f.focusedClass = L"Button", f.focusedStyle = ES_PASSWORD; }, N},
    {"a password in full screen",
     [](F f) { f.foreground = kMonitor, f.focusedStyle = ES_PASSWORD; }, X},
    {"the pause", [](F f) { f.paused = true; }, X},
};

TEST(QuietDecisionTest, EachMadeUpDesktopGetsItsLevel) {
    for (const Desk& desk : kDesks) {
        DesktopFacts facts;
        facts.foreground = {100, 100, 900, 700};
        facts.monitor = kMonitor;
        facts.notificationState = 5;
        facts.program = L"notepad.exe";
        facts.ignoredPrograms = &kIgnored;
        facts.focusedClass = L"Edit";
        facts.focusedStyle = ES_MULTILINE;
        desk.change(facts);
        EXPECT_EQ(decideQuiet(facts), desk.expected) << desk.name;
    }
}

TEST(QuietDecisionTest, TheProgramIsTheLastPartOfItsPath) {
    EXPECT_EQ(programFileName(L"C:\\Games\\game.exe"), L"game.exe");
    EXPECT_EQ(programFileName(L"C:/Tools/Tool.EXE"), L"Tool.EXE");
    EXPECT_EQ(programFileName(L"game.exe"), L"game.exe");
}

} // namespace
} // namespace keywhirl
