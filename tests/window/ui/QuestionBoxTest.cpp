// tests/window/ui/QuestionBoxTest.cpp - a yes-or-no question in the interface language.
#include "ui/QuestionBox.h"

#include <gtest/gtest.h>

#include <string>

namespace keywhirl::ui {
namespace {

// What the open question showed, found from a timer of its own loop, which
// then clicks the chosen button.
struct Seen {
    std::wstring yes, no;
    UINT click = IDNO;
    int looks = 0;
};
Seen seen;

BOOL CALLBACK findQuestion(HWND window, LPARAM found) {
    if (::IsWindowVisible(window) && ::GetDlgItem(window, IDYES)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring itemText(HWND box, int id) {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(box, id, text, 64);
    return text;
}

void CALLBACK answer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), findQuestion, reinterpret_cast<LPARAM>(&box));
    if (!box && ++seen.looks < 250)
        return;
    ::KillTimer(nullptr, timer);
    if (!box)
        return;
    seen.yes = itemText(box, IDYES);
    seen.no = itemText(box, IDNO);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(seen.click, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, seen.click)));
}

TEST(QuestionBox, ButtonsSpeakTheInterfaceLanguage) {
    const struct {
        const wchar_t* yes;
        const wchar_t* no;
        UINT click;
    } cases[] = {{L"&Да", L"&Нет", IDNO}, {L"&Так", L"&Ні", IDYES}, {L"", L"", IDYES}};
    for (const auto& c : cases) {
        seen = Seen{};
        seen.click = c.click;
        ::SetTimer(nullptr, 0, 20, &answer);
        int result = askYesOrNo(nullptr, L"Forget?", L"Keywhirl", c.yes, c.no);
        EXPECT_EQ(result, int(c.click));
        if (*c.yes) {
            EXPECT_EQ(seen.yes, c.yes);
            EXPECT_EQ(seen.no, c.no);
        } else {
            EXPECT_FALSE(seen.yes.empty()) << "no texts given: the system's own";
        }
    }
}

} // namespace
} // namespace keywhirl::ui
