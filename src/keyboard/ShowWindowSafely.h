// src/keyboard/ShowWindowSafely.h - shows, hides or raises a window from whatever thread.
#pragma once

#include <windows.h>

namespace keywhirl {

// ShowWindow on the window's own thread; from any other thread the request
// is queued for the window's thread (ShowWindowAsync), so a worker thread
// never waits for a window thread that may be waiting for it. Requests from
// one thread are carried out in the order they were made. Does nothing for
// a window that does not exist.
void showWindowSafely(HWND window, int command);

// Puts the window on top of the topmost band again, without activating,
// moving or sizing it: another topmost window (or a full-screen one) may
// have come over it since it was last shown. Queued for the window's
// thread like showWindowSafely when called from another thread.
void putOnTopSafely(HWND window);

} // namespace keywhirl
