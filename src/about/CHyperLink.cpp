// src/about/CHyperLink.cpp
#include "about/CHyperLink.h"

#include "utils/Handles.h"

#include <shellapi.h>

namespace keywhirl {

namespace {

// Shared by every link of the process; links live on the main thread only.
struct SharedLinkResources {
    utils::UniqueFont underlinedFont;
    HCURSOR handCursor = nullptr;
    int users = 0;
};

SharedLinkResources shared;
CHyperLink::Opener opener = nullptr;

HFONT underlinedCopyOf(HFONT font) {
    if (font == nullptr)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW description{};
    if (::GetObjectW(font, sizeof(description), &description) == 0)
        return nullptr;
    description.lfUnderline = TRUE;
    return ::CreateFontIndirectW(&description);
}

} // namespace

CHyperLink::~CHyperLink() {
    // The object goes before its control: the control keeps working as a
    // plain static with its own font.
    if (isSubclassed() && ::IsWindow(handle())) {
        dropCapture();
        restoreFont();
    }
    unsubclass();
    releaseShared();
}

bool CHyperLink::AttachToStatic(HWND dialog, int id, const std::wstring& target) {
    const HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr || !subclass(control))
        return false;
    address = target;
    hovering = false;
    visited = false;
    // Without SS_NOTIFY a static lets the mouse through to its parent.
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    ::SetWindowLongPtrW(control, GWL_STYLE, style | SS_NOTIFY);
    previousFont = reinterpret_cast<HFONT>(send(WM_GETFONT));
    acquireShared();
    return true;
}

bool CHyperLink::OpenWithShell(const std::wstring& target) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

void CHyperLink::SetOpener(Opener replacement) {
    opener = replacement;
}

void CHyperLink::acquireShared() {
    if (holdsShared)
        return;
    if (shared.users == 0) {
        shared.underlinedFont.reset(underlinedCopyOf(previousFont));
        shared.handCursor = ::LoadCursorW(nullptr, IDC_HAND);
        if (shared.handCursor == nullptr)
            shared.handCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    }
    ++shared.users;
    holdsShared = true;
}

void CHyperLink::releaseShared() {
    if (!holdsShared)
        return;
    holdsShared = false;
    if (--shared.users == 0) {
        shared.underlinedFont.reset();
        // A shared system cursor: nothing to free.
        shared.handCursor = nullptr;
    }
}

void CHyperLink::restoreFont() {
    if (::IsWindow(handle()))
        send(WM_SETFONT, reinterpret_cast<WPARAM>(previousFont), FALSE);
}

void CHyperLink::startHover() {
    hovering = true;
    if (shared.underlinedFont)
        send(WM_SETFONT, reinterpret_cast<WPARAM>(shared.underlinedFont.get()), FALSE);
    repaint();
    ::SetCapture(handle());
    OnEnter();
}

void CHyperLink::endHover() {
    if (!hovering)
        return;
    hovering = false;
    restoreFont();
    repaint();
    OnLeave();
}

void CHyperLink::dropCapture() {
    // Quietly: the capture notice must not repaint a window on its way out.
    const bool captured = hovering && ::GetCapture() == handle();
    hovering = false;
    if (captured)
        ::ReleaseCapture();
}

void CHyperLink::follow() {
    const Opener open = opener != nullptr ? opener : &CHyperLink::OpenWithShell;
    // A failed open is not reported; the user did follow the link.
    open(address);
    visited = true;
    repaint();
}

void CHyperLink::repaint() const {
    RECT area{};
    const HWND parentWindow = ::GetParent(handle());
    if (parentWindow != nullptr && getRectInParent(area))
        ::RedrawWindow(parentWindow, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    else
        invalidate();
}

void CHyperLink::drawFocusRectangle() const {
    const HWND parentWindow = ::GetParent(handle());
    RECT area{};
    if (parentWindow == nullptr || !getRectInParent(area))
        return;
    ::InflateRect(&area, 1, 1);
    utils::WindowDc dc(parentWindow);
    // Drawn with XOR: the second call, at the loss of the focus, takes it away.
    ::DrawFocusRect(dc.get(), &area);
}

bool CHyperLink::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!hovering) {
            startHover();
        } else {
            RECT client{};
            getClientRect(client);
            const POINT point{static_cast<short>(LOWORD(lParam)),
                              static_cast<short>(HIWORD(lParam))};
            // Losing the capture ends the hover (WM_CAPTURECHANGED).
            if (!::PtInRect(&client, point))
                ::ReleaseCapture();
        }
        return false;
    case WM_CAPTURECHANGED:
        endHover();
        return false;
    case WM_LBUTTONUP:
        follow();
        return false;
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            follow();
        return false;
    case WM_SETFOCUS:
        drawFocusRectangle();
        OnEnter();
        return false;
    case WM_KILLFOCUS:
        drawFocusRectangle();
        OnLeave();
        return false;
    case WM_SETCURSOR:
        if (shared.handCursor == nullptr)
            return false;
        ::SetCursor(shared.handCursor);
        result = TRUE;
        return true;
    case WM_DESTROY:
        dropCapture();
        restoreFont();
        releaseShared();
        return false;
    default:
        return false;
    }
}

bool CHyperLink::onReflectedMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORSTATIC)
        return false;
    const HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, GetColour());
    if (result != 0)
        return false;
    // The parent left the colours to the control: the face of a dialog.
    ::SetBkColor(dc, ::GetSysColor(COLOR_3DFACE));
    result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_3DFACE));
    return true;
}

void CHyperLink::onFinalMessage() {
    hovering = false;
    releaseShared();
}

} // namespace keywhirl
