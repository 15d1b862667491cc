// src/keyboard/ShowWindowSafely.h - shows or hides a window from whatever thread.
#pragma once

#include <windows.h>

namespace keywhirl {

// ShowWindow on the window's own thread; from any other thread the request
// is queued for the window's thread (ShowWindowAsync), so a worker thread
// never waits for a window thread that may be waiting for it. Requests from
// one thread are carried out in the order they were made. Does nothing for
// a window that does not exist.
void showWindowSafely(HWND window, int command);

} // namespace keywhirl
