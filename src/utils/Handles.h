// src/utils/Handles.h - move-only owners for the Windows handles the program keeps.
#pragma once

#include <windows.h>

#include <utility>

namespace keywhirl::utils {

// What an owner holds when it holds nothing: null for most handles...
template <typename Handle> struct NullIsEmpty {
    static Handle empty() { return nullptr; }
};
// ...but INVALID_HANDLE_VALUE for what CreateFile and FindFirstFile return.
struct InvalidValueIsEmpty {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
};

// Owns one handle and releases it with Close when it goes. Copying is
// deleted: a copied owner would release the handle twice.
template <typename Handle, auto Close, typename Empty = NullIsEmpty<Handle>> class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : handle_(handle) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Empty::empty(); }

    void reset(Handle handle = Empty::empty()) {
        if (handle_ != Empty::empty())
            Close(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, Empty::empty()); }

    // For functions that hand a new handle back through a pointer.
    Handle* addressof() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Empty::empty();
};

// Events, threads, mutexes and other kernel objects.
using UniqueHandle = UniqueAny<HANDLE, ::CloseHandle>;
// A file from CreateFileW; empty at INVALID_HANDLE_VALUE.
using UniqueFile = UniqueAny<HANDLE, ::CloseHandle, InvalidValueIsEmpty>;
// A search from FindFirstFileW; empty at INVALID_HANDLE_VALUE.
using UniqueFind = UniqueAny<HANDLE, ::FindClose, InvalidValueIsEmpty>;
using UniqueModule = UniqueAny<HMODULE, ::FreeLibrary>;
using UniqueBitmap = UniqueAny<HBITMAP, ::DeleteObject>;
using UniqueFont = UniqueAny<HFONT, ::DeleteObject>;
using UniqueRegion = UniqueAny<HRGN, ::DeleteObject>;
using UniqueBrush = UniqueAny<HBRUSH, ::DeleteObject>;
using UniquePen = UniqueAny<HPEN, ::DeleteObject>;
using UniqueMemoryDc = UniqueAny<HDC, ::DeleteDC>;
using UniqueIcon = UniqueAny<HICON, ::DestroyIcon>;
using UniqueMenu = UniqueAny<HMENU, ::DestroyMenu>;
using UniqueKey = UniqueAny<HKEY, ::RegCloseKey>;
using UniquePalette = UniqueAny<HPALETTE, ::DeleteObject>;
using UniqueWinEventHook = UniqueAny<HWINEVENTHOOK, ::UnhookWinEvent>;
// For windows that no dialog object owns, such as an invisible owner window.
using UniqueWindow = UniqueAny<HWND, ::DestroyWindow>;
// A hook from SetWindowsHookExW.
using UniqueHook = UniqueAny<HHOOK, ::UnhookWindowsHookEx>;

// Releases a DC obtained with GetDC; the window is needed for that.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// One paint cycle: BeginPaint now, EndPaint when it goes, which validates the
// update region whatever was drawn.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() {
        if (dc_)
            ::EndPaint(window_, &paint_);
    }
    HDC get() const { return dc_; }
    const PAINTSTRUCT& info() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back when it goes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An event the program owns, set, cleared and waited for through its
// owner. Auto-reset unless asked otherwise; a named one is shared with
// other processes that open the same name.
class Event {
public:
    explicit Event(bool manualReset = false, bool signalled = false, const wchar_t* name = nullptr)
        : handle_(::CreateEventW(nullptr, manualReset, signalled, name)) {}

    explicit operator bool() const { return static_cast<bool>(handle_); }
    HANDLE get() const { return handle_.get(); }
    void set() const { ::SetEvent(handle_.get()); }
    void clear() const { ::ResetEvent(handle_.get()); }
    // True when the event was (or became) set within the time-out.
    bool wait(DWORD milliseconds = INFINITE) const {
        return ::WaitForSingleObject(handle_.get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    UniqueHandle handle_;
};

// Holds one reference to a COM object and releases it when it goes.
template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(Interface* object) : object_(object) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : object_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(Interface* object = nullptr) {
        if (object_)
            object_->Release();
        object_ = object;
    }
    Interface* release() { return std::exchange(object_, nullptr); }
    // For functions that hand a new reference back through a pointer.
    Interface** addressof() {
        reset();
        return &object_;
    }

private:
    Interface* object_ = nullptr;
};

// Runs a clean-up that has no handle type of its own when the scope ends.
template <typename Action> class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { action_(); }

private:
    Action action_;
};

} // namespace keywhirl::utils
