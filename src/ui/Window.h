// src/ui/Window.h - a thin, non-owning wrapper of a window handle.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace keywhirl::ui {

// Copying a Window copies the handle, never the window. The handle is atomic
// because some windows are driven from worker threads (ShowWindow and
// invalidation across threads) while the main thread binds and unbinds them;
// a late value is harmless, every platform call checks the handle itself.
class Window {
public:
    Window(HWND window = nullptr) : handle_(window) {}
    Window(const Window& other) : handle_(other.handle()) {}
    Window& operator=(const Window& other) {
        handle_.store(other.handle(), std::memory_order_relaxed);
        return *this;
    }
    virtual ~Window() = default;

    void attach(HWND window) { handle_.store(window, std::memory_order_relaxed); }
    HWND detach() { return handle_.exchange(nullptr, std::memory_order_relaxed); }
    HWND handle() const { return handle_.load(std::memory_order_relaxed); }
    operator HWND() const { return handle(); }

    // True while the handle names a live window.
    bool exists() const;
    bool destroy();

    // Returns whether the window was visible before, as ShowWindow does.
    bool show(int command) const;
    bool isVisible() const;
    bool enable(bool enabled) const;

    bool setText(const std::wstring& text) const;
    std::wstring getText() const;
    HWND getItem(int id) const;
    bool setItemText(int id, const std::wstring& text) const;
    std::wstring getItemText(int id) const;

    bool move(int x, int y, int width, int height, bool repaint = true) const;
    bool setPosition(HWND insertAfter, int x, int y, int width, int height, UINT flags) const;
    bool getRect(RECT& rect) const;
    bool getClientRect(RECT& rect) const;
    // The window rectangle in the client coordinates of its parent, which is
    // what a dialog needs to move one of its controls.
    bool getRectInParent(RECT& rect) const;

    bool invalidate(bool erase = true) const;
    bool update() const;
    bool setTimer(UINT_PTR id, UINT milliseconds) const;
    bool killTimer(UINT_PTR id) const;

    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // For a pop-up window this is its owner, as GetParent reports it.
    HWND parent() const;

private:
    std::atomic<HWND> handle_;
};

} // namespace keywhirl::ui
