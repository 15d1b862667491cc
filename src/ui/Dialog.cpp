// src/ui/Dialog.cpp
#include "ui/Dialog.h"

#include "ui/SubclassedWindow.h"

namespace keywhirl::ui {

namespace {

// A dialog procedure answers most messages through DWLP_MSGRESULT; for these
// the dialog manager takes the procedure's return value as the answer itself.
bool answersByReturnValue(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

// The control that a parent's message is about, for the messages that a
// control's own class may want to answer.
HWND reflectedControl(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

HINSTANCE programModule() {
    return ::GetModuleHandleW(nullptr);
}

} // namespace

Dialog::~Dialog() {
    const HWND window = handle();
    if (window == nullptr)
        return;
    unbind();
    if (modal_)
        ::EndDialog(window, IDCANCEL);
    else
        ::DestroyWindow(window);
}

bool Dialog::canStart() const {
    return handle() == nullptr;
}

bool Dialog::createModeless(int templateId, HWND owner) {
    if (!canStart())
        return false;
    modal_ = false;
    return ::CreateDialogParamW(programModule(), MAKEINTRESOURCEW(templateId), owner, dialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool Dialog::createModelessIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner) {
    if (!canStart() || dialogTemplate == nullptr)
        return false;
    modal_ = false;
    return ::CreateDialogIndirectParamW(programModule(), dialogTemplate, owner, dialogProc,
                                        reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::runModal(int templateId, HWND owner) {
    if (!canStart())
        return -1;
    modal_ = true;
    return ::DialogBoxParamW(programModule(), MAKEINTRESOURCEW(templateId), owner, dialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::runModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner) {
    if (!canStart() || dialogTemplate == nullptr)
        return -1;
    modal_ = true;
    return ::DialogBoxIndirectParamW(programModule(), dialogTemplate, owner, dialogProc,
                                     reinterpret_cast<LPARAM>(this));
}

bool Dialog::endDialog(INT_PTR result) {
    const HWND window = handle();
    if (window == nullptr)
        return false;
    if (modal_)
        return ::EndDialog(window, result) != FALSE;
    return ::DestroyWindow(window) != FALSE;
}

Dialog* Dialog::fromHandle(HWND window) {
    // DWLP_USER means something else in a dialog whose procedure is not ours.
    if (window == nullptr ||
        ::GetWindowLongPtrW(window, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&dialogProc))
        return nullptr;
    return reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
}

void Dialog::bind(HWND window) {
    ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    Window::attach(window);
}

void Dialog::unbind() {
    const HWND window = Window::detach();
    if (window != nullptr && ::IsWindow(window))
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
}

bool Dialog::route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool handled = onMessage(message, wParam, lParam, result) ||
                         routeToHandlers(message, wParam, lParam, result);
    // An owner-drawn or coloured control that has a class of its own gets
    // its parent's messages about it after the dialog.
    if (SubclassedWindow* control =
            SubclassedWindow::fromHandle(reflectedControl(message, lParam))) {
        if (!handled)
            result = 0;
        if (control->onReflectedMessage(message, wParam, lParam, result))
            return true;
    }
    return handled;
}

bool Dialog::routeToHandlers(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = onInitDialog() ? TRUE : FALSE;
        return true;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        // A button click, or a menu item or accelerator (code 1, no control);
        // any other notification of a control that happens to have id 1 or 2
        // is an ordinary command.
        const bool clicked = code == BN_CLICKED || (code == 1 && control == nullptr);
        result = 0;
        if (clicked && id == IDOK) {
            onOk();
            return true;
        }
        if (clicked && id == IDCANCEL) {
            onCancel();
            return true;
        }
        return onCommand(id, code, control);
    }
    case WM_DESTROY:
        onDestroy();
        return false;
    default:
        return false;
    }
}

bool Dialog::onCommand(int, int, HWND) {
    return false;
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        if (dialog == nullptr)
            return TRUE;
        dialog->bind(window);
    } else {
        // WM_SETFONT and the like come before WM_INITDIALOG, when nothing is
        // bound yet; the dialog manager handles them.
        dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (dialog == nullptr)
            return FALSE;
    }

    if (message == WM_NCDESTROY) {
        // Not offered to onMessage: a handler there could take the object
        // away before it is unbound. onFinalMessage is the notice instead.
        dialog->unbind();
        try {
            dialog->onFinalMessage();
        } catch (...) {
        }
        // The dialog manager frees its own data in its default processing.
        return FALSE;
    }

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = dialog->route(message, wParam, lParam, result);
    } catch (...) {
        handled = false;
    }
    // The object may be gone now: a handler may have destroyed the window,
    // and onFinalMessage the object with it. Only locals from here on.
    if (!handled)
        return message == WM_INITDIALOG ? TRUE : FALSE;
    if (answersByReturnValue(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace keywhirl::ui
