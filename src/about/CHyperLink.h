// src/about/CHyperLink.h - a static text control that works as a web link.
#pragma once

#include "ui/SubclassedWindow.h"

#include <windows.h>

#include <string>

namespace keywhirl {

// Blue until followed, purple after; underlined while the mouse is over it,
// with the hand cursor. A left click, or the space bar released while it
// has the focus, opens the address with the shell.
//
// The link's colour is set where its parent asks for the static's colours
// (WM_CTLCOLORSTATIC): the parent must be a ui::Dialog, which hands that
// message on to the control's object. A parent that answers the message
// itself (the about box gives a transparent background) keeps its brush and
// background; otherwise the link answers with the dialog face colour.
//
// Use, on the dialog's thread, once its controls exist:
//     link.AttachToStatic(dialog, IDC_ABOUT_LINK, L"https://keywhirl.example/");
// The binding ends with the control's window or with the object.
class CHyperLink : public ui::SubclassedWindow {
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);

    // Opens an address; true when it was opened.
    using Opener = bool (*)(const std::wstring& address);

    CHyperLink() = default;
    ~CHyperLink() override;

    // Turns the static control id of dialog into this link. False if there
    // is no such control, or it or this object is already bound.
    bool AttachToStatic(HWND dialog, int id, const std::wstring& address);

    const std::wstring& GetAddress() const { return address; }
    bool IsVisited() const { return visited; }
    bool IsHovering() const { return hovering; }
    COLORREF GetColour() const { return visited ? kVisitedColour : kLinkColour; }

    // The shell's way: ShellExecuteExW with the verb "open", shown normally,
    // without the shell's own error box.
    static bool OpenWithShell(const std::wstring& address);
    // Test seam: replaces how every link opens its address (null: the shell).
    // Main thread only.
    static void SetOpener(Opener opener);

    bool onReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // The mouse pointer or the focus came onto the link, or left it.
    virtual void OnEnter() {}
    virtual void OnLeave() {}

    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onFinalMessage() override;

private:
    void follow();
    void startHover();
    void endHover();
    void dropCapture();
    // A transparent static draws its text over what lies under it: the
    // parent repaints that part first, so an underline or an old colour does
    // not stay behind.
    void repaint() const;
    void drawFocusRectangle() const;
    void restoreFont();
    void acquireShared();
    void releaseShared();

    std::wstring address;
    bool hovering = false;
    bool visited = false;
    HFONT previousFont = nullptr;
    bool holdsShared = false;
};

} // namespace keywhirl
