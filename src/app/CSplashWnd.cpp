// src/app/CSplashWnd.cpp
#include "app/CSplashWnd.h"
#include "ui/AppMessages.h"

#include <vector>

namespace keywhirl {

namespace {
const wchar_t kSplashClass[] = L"KeywhirlSplash";
const wchar_t kSplashOwnerClass[] = L"KeywhirlSplashOwner";
constexpr UINT kDropShadow = 0x00020000; // CS_DROPSHADOW, from Windows XP on

void centreOnScreen(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

CSplashWnd::~CSplashWnd() {
    // The window must not call back into an object that is going.
    if (window)
        ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
    window.reset();
    // Closing the splash closes its owner too, which then is gone already.
    if (ownerWindow && !::IsWindow(ownerWindow.get()))
        ownerWindow.release();
    ownerWindow.reset();
}

bool CSplashWnd::loadBitmap() {
    HANDLE image = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_DEFAULTSIZE);
    if (!image)
        return false;
    bitmap.reset(static_cast<HBITMAP>(image));
    BITMAP info = {};
    ::GetObjectW(bitmap.get(), sizeof info, &info);
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

bool CSplashWnd::registerWindowClass() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW owner = {};
    owner.lpfnWndProc = ::DefWindowProcW;
    owner.hInstance = instance;
    owner.lpszClassName = kSplashOwnerClass;
    ::RegisterClassW(&owner);

    WNDCLASSW splash = {};
    splash.style = dropShadow ? kDropShadow : 0;
    splash.lpfnWndProc = &CSplashWnd::windowProc;
    splash.hInstance = instance;
    splash.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    splash.lpszClassName = kSplashClass;
    if (::RegisterClassW(&splash) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return true;
    // Systems before XP know no drop shadow.
    splash.style = 0;
    return ::RegisterClassW(&splash) != 0;
}

bool CSplashWnd::createSplashWindow() {
    if (!loadBitmap())
        return false;
    registerWindowClass();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ownerWindow.reset(::CreateWindowExW(0, kSplashOwnerClass, L"", WS_POPUP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                        nullptr, instance, nullptr));
    // Shown without activation: the user may be typing in another program
    // while Keywhirl starts, and the splash must not take the keys. The
    // window procedure takes the new window into `window` as it is made.
    if (!::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kSplashClass, L"", WS_POPUP, 0, 0,
                           width, height, ownerWindow.get(), nullptr, instance, this))
        return false;
    createPalette();
    ::ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    realizePalette(false);
    return true;
}

void CSplashWnd::createPalette() {
    BITMAP info = {};
    ::GetObjectW(bitmap.get(), sizeof info, &info);
    if (info.bmPlanes * info.bmBitsPixel <= 8) {
        utils::UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
        utils::SelectedObject selected(memory.get(), bitmap.get());
        RGBQUAD colours[256] = {};
        ::GetDIBColorTable(memory.get(), 0, 256, colours);
        std::vector<BYTE> buffer(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = 256;
        for (int i = 0; i < 256; ++i)
            logical->palPalEntry[i] = {colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue,
                                       0};
        palette.reset(::CreatePalette(logical));
    } else {
        utils::WindowDc dc(window.get());
        palette.reset(::CreateHalftonePalette(dc.get()));
    }
}

void CSplashWnd::realizePalette(bool forced) {
    if (!palette)
        return;
    utils::WindowDc dc(window.get());
    HPALETTE previous = ::SelectPalette(dc.get(), palette.get(), forced ? FALSE : TRUE);
    UINT changed = ::RealizePalette(dc.get());
    ::SelectPalette(dc.get(), previous, TRUE);
    ::RealizePalette(dc.get());
    if (changed)
        ::InvalidateRect(window.get(), nullptr, TRUE);
}

void CSplashWnd::paint() {
    utils::PaintDc paint(window.get());
    HDC dc = paint.get();
    utils::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    utils::SelectedObject picture(memory.get(), bitmap.get());
    HPALETTE previous = nullptr;
    if (palette) {
        previous = ::SelectPalette(dc, palette.get(), FALSE);
        ::RealizePalette(dc);
    }
    ::BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    if (previous)
        ::SelectPalette(dc, previous, TRUE);
}

LRESULT CALLBACK CSplashWnd::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<CSplashWnd*>(create->lpCreateParams)->window.reset(window);
    }
    auto* splash = reinterpret_cast<CSplashWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!splash)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        splash->window.release();
    }
    return splash->onMessage(message, wParam, lParam);
}

LRESULT CSplashWnd::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        centreOnScreen(window.get());
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_MOUSEACTIVATE:
        // A click drags the splash; it never makes it the active window.
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        ::SendMessageW(window.get(), WM_LBUTTONUP, 0, 0);
        ::SendMessageW(window.get(), WM_SYSCOMMAND, kMoveByCaption, 0);
        return 0;
    case WM_DESTROY:
        // The splash thread's loop ends with its window.
        ::PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        if (okToClose)
            ::PostMessageW(ownerWindow.get(), WM_CLOSE, 0, 0);
        return 0;
    default:
        return ::DefWindowProcW(window.get(), message, wParam, lParam);
    }
}

} // namespace keywhirl
