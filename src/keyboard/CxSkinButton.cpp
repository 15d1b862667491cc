// src/keyboard/CxSkinButton.cpp
#include "keyboard/CxSkinButton.h"

#include <windowsx.h>

#include <string>

namespace keywhirl {

namespace {

HBITMAP loadBitmapResource(int id) {
    if (id == 0)
        return nullptr;
    return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

// Copies the picture 1:1 from its top left corner over the item rectangle,
// or fills the rectangle with the button face when there is none.
void paintPicture(HDC dc, const RECT& area, HBITMAP picture) {
    if (!picture) {
        ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    utils::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    utils::SelectedObject selected(source.get(), picture);
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(),
             0, 0, SRCCOPY);
}

void drawCaption(HDC dc, int x, int y, const RECT& clip, const std::wstring& text) {
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()),
                  nullptr);
}

} // namespace

CxSkinButton::CxSkinButton()
    : mouseListener(nullptr), mouseOver(false), leftButtonDown(false), disabledBitmap(nullptr),
      textColour(::GetSysColor(COLOR_BTNTEXT)) {}

void CxSkinButton::setSkin(int normal, int pressed, int over) {
    normalBitmap.reset(loadBitmapResource(normal));
    pressedBitmap.reset(loadBitmapResource(pressed));
    overBitmap.reset(loadBitmapResource(over));
    disabledBitmap = normalBitmap.get();

    BITMAP size = {};
    if (normalBitmap && ::GetObjectW(normalBitmap.get(), sizeof size, &size) && handle())
        setPosition(nullptr, 0, 0, size.bmWidth, size.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
}

bool CxSkinButton::hasCapture() const {
    HWND self = handle();
    return self && ::GetCapture() == self;
}

bool CxSkinButton::isCursorOverMe(POINT screenPoint) const {
    return ::WindowFromPoint(screenPoint) == handle();
}

bool CxSkinButton::isPushed() const {
    return (send(BM_GETSTATE) & BST_PUSHED) != 0;
}

void CxSkinButton::setPushed(bool pushed) {
    send(BM_SETSTATE, pushed ? TRUE : FALSE);
}

bool CxSkinButton::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND:
        result = TRUE;
        return true;
    case WM_MOUSEMOVE:
        onMouseMove(lParam);
        return false;
    case WM_LBUTTONDOWN:
        onLeftButtonDown();
        return false;
    case WM_LBUTTONUP:
        leftButtonDown = false;
        return false;
    case WM_LBUTTONDBLCLK:
        // The second click of a double click is an ordinary press.
        send(WM_LBUTTONDOWN, wParam, lParam);
        result = 0;
        return true;
    case WM_KILLFOCUS:
        if (hasCapture()) {
            ::ReleaseCapture();
            leftButtonDown = false;
        }
        return false;
    case WM_MOUSELEAVE:
        mouseOver = false;
        invalidate(true);
        result = mouseListener ? mouseListener->onMouseLeave(wParam, lParam) : 0;
        return true;
    default:
        return false;
    }
}

void CxSkinButton::onMouseMove(LPARAM lParam) {
    if (leftButtonDown && hasCapture()) {
        // Pressed looks pressed only while the pressing cursor is over it.
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(handle(), &point);
        bool over = isCursorOverMe(point);
        if (over != isPushed()) {
            setPushed(over);
            invalidate(true);
        }
        return;
    }
    if (!mouseOver) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, handle(), 0};
        if (::TrackMouseEvent(&track)) {
            mouseOver = true;
            invalidate(true);
        }
    }
}

void CxSkinButton::onLeftButtonDown() {
    // Leave tracking is off for the time of a press: the capture decides.
    if (mouseOver) {
        TRACKMOUSEEVENT cancel = {sizeof cancel, TME_CANCEL | TME_LEAVE, handle(), 0};
        if (::TrackMouseEvent(&cancel))
            mouseOver = false;
    }
    leftButtonDown = true;
}

bool CxSkinButton::onReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM || lParam == 0)
        return false;
    drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CxSkinButton::drawItem(const DRAWITEMSTRUCT& item) {
    if (leftButtonDown && hasCapture()) {
        POINT cursor;
        if (::GetCursorPos(&cursor)) {
            // Each change of state asks for a drawing of its own.
            bool over = isCursorOverMe(cursor);
            bool pushed = isPushed();
            if (over && !pushed) {
                setPushed(true);
                return;
            }
            if (!over && pushed) {
                setPushed(false);
                return;
            }
        }
    }

    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    std::wstring caption = getText();
    ::SetBkMode(dc, TRANSPARENT);
    utils::SelectedObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    int x =
        area.left +
        (width - static_cast<int>(caption.size()) * static_cast<int>(metrics.tmAveCharWidth)) / 2;
    int y = area.top + (height - static_cast<int>(metrics.tmHeight)) / 2;

    if (item.itemState & ODS_DISABLED) {
        paintPicture(dc, area, disabledBitmap);
        // An engraved caption: highlight below and right, grey on top.
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        drawCaption(dc, x + 1, y + 1, area, caption);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        HBITMAP picture = normalBitmap.get();
        if (item.itemState & ODS_SELECTED)
            picture = pressedBitmap.get();
        else if (mouseOver && overBitmap)
            picture = overBitmap.get();
        paintPicture(dc, area, picture);
        ::SetTextColor(dc, textColour);
    }
    drawCaption(dc, x, y, area, caption);
}

} // namespace keywhirl
