// src/ui/Dialog.h - base class of the program's windows: a dialog made from a
// template whose messages reach the handlers of the derived class.
#pragma once

#include "ui/Window.h"

#include <windows.h>

namespace keywhirl::ui {

// The object is bound to its window from WM_INITDIALOG to WM_NCDESTROY and
// never called outside that span. The binding lives in the dialog's own
// DWLP_USER slot, so GWLP_USERDATA and window properties stay free for the
// derived classes.
//
// Handlers run on the window's thread inside try/catch: an exception never
// crosses into Windows; the message then gets the dialog manager's default
// processing.
class Dialog : public Window {
public:
    Dialog() = default;
    // A window that still exists is unbound first (the derived part is gone
    // and must not be called), then destroyed, or ended if modal. A class
    // that needs its onDestroy destroys the window in its own destructor.
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The template comes from the program file's resources. False, or -1 from
    // the modal forms, when the window could not be made or the object is
    // already bound to one.
    bool createModeless(int templateId, HWND owner);
    bool createModelessIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner);
    INT_PTR runModal(int templateId, HWND owner);
    INT_PTR runModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner);

    bool isModal() const { return modal_; }
    // EndDialog with the result for a modal dialog, DestroyWindow for a
    // modeless one (which has no result).
    bool endDialog(INT_PTR result);

    // The object bound to a dialog window, or null.
    static Dialog* fromHandle(HWND window);

protected:
    // Sees every message but WM_NCDESTROY first. Return true when the
    // message is handled and result holds its answer; false lets the base
    // route it (WM_INITDIALOG, WM_COMMAND, WM_DESTROY) and then the dialog
    // manager's default processing run. A handler may act and still return
    // false. WM_DRAWITEM and WM_CTLCOLOR* about a control bound to a
    // SubclassedWindow go on to that object (onReflectedMessage).
    virtual bool onMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                           LRESULT& /*result*/) {
        return false;
    }

    // Return true to let the dialog manager give the focus to the first control.
    virtual bool onInitDialog() { return true; }
    // Commands other than OK and Cancel clicks; true when handled.
    virtual bool onCommand(int id, int code, HWND control);
    // Enter, the OK button; Escape, the Cancel button and WM_CLOSE. A window
    // that must not close on them replaces these with nothing.
    virtual void onOk() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    virtual void onDestroy() {}
    // The window is gone and the object unbound: the last call it gets.
    virtual void onFinalMessage() {}

private:
    // Attaching another handle would tear the binding apart.
    using Window::attach;
    using Window::detach;

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool routeToHandlers(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void bind(HWND window);
    void unbind();
    bool canStart() const;

    bool modal_ = false;
};

} // namespace keywhirl::ui
