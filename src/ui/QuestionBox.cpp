// src/ui/QuestionBox.cpp
#include "ui/QuestionBox.h"

#include "ui/PlacedMessageBox.h"
#include "utils/Handles.h"

namespace keywhirl::ui {

namespace {

// The texts for the box this thread is about to show. A message box is
// modal, so one thread asks one question at a time.
struct ButtonTexts {
    const std::wstring* yes = nullptr;
    const std::wstring* no = nullptr;
};
thread_local ButtonTexts pendingTexts;
thread_local HHOOK questionHook = nullptr;

// Called on this thread only, as the message box window is activated for
// the first time: its buttons exist then and have their system texts.
LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && pendingTexts.yes) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (!pendingTexts.yes->empty())
            ::SetDlgItemTextW(box, IDYES, pendingTexts.yes->c_str());
        if (!pendingTexts.no->empty())
            ::SetDlgItemTextW(box, IDNO, pendingTexts.no->c_str());
        pendingTexts = ButtonTexts{};
    }
    return ::CallNextHookEx(questionHook, code, wParam, lParam);
}

} // namespace

int askYesOrNo(HWND owner, const std::wstring& question, const std::wstring& caption,
               const std::wstring& yes, const std::wstring& no) {
    pendingTexts = ButtonTexts{&yes, &no};
    utils::UniqueHook hook(
        ::SetWindowsHookExW(WH_CBT, renameButtons, nullptr, ::GetCurrentThreadId()));
    questionHook = hook.get();
    // Placed where the user looks, like every message box of the program.
    int answer = PlacedMessageBox::show(owner, question, caption,
                                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    pendingTexts = ButtonTexts{};
    questionHook = nullptr;
    return answer == IDYES ? IDYES : IDNO;
}

} // namespace keywhirl::ui
