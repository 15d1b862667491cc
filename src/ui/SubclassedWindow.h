// src/ui/SubclassedWindow.h - a control whose messages reach an object of its
// own class first, for controls with behaviour of their own (skinned
// buttons, links).
#pragma once

#include "ui/Window.h"

#include <windows.h>

namespace keywhirl::ui {

// Replaces the window procedure with SetWindowLongPtrW: SetWindowSubclass is
// exported by name only from version 6 of the common controls (by ordinal
// from 5.8), and the program must load on systems that lack it. The object and the previous
// procedure are kept as window properties, so a window found by its handle leads back to its
// object.
//
// One object per window. The binding ends at WM_NCDESTROY, with
// unsubclass, or with the object. When another procedure was installed on
// top in the meantime, unsubclass leaves a forwarding link in the chain
// instead of cutting the later one off; a new object may bind to that link.
class SubclassedWindow : public Window {
public:
    SubclassedWindow() = default;
    ~SubclassedWindow() override;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    // False if the window does not exist, belongs to another process, or is
    // already bound to an object of this kind; or if this object is bound.
    bool subclass(HWND window);
    bool subclassItem(HWND dialog, int id);
    void unsubclass();
    bool isSubclassed() const { return handle() != nullptr; }

    // The object bound to a window, or null.
    static SubclassedWindow* fromHandle(HWND window);

    // Messages that this control sends its parent Dialog about itself
    // (WM_DRAWITEM, WM_CTLCOLOR*), offered after the dialog's own handlers.
    // result holds the dialog's answer so far (0 if it gave none); return
    // true to give result as the answer, false to leave the dialog's.
    virtual bool onReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Sees every message but WM_NCDESTROY first. True when handled with
    // result as the answer; false passes it on to the previous procedure.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window is gone and the object unbound: the last call it gets.
    virtual void onFinalMessage() {}

    // The previous procedure's handling, for handlers that act after it.
    LRESULT callPrevious(UINT message, WPARAM wParam, LPARAM lParam);

private:
    using Window::attach;
    using Window::detach;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace keywhirl::ui
