// src/keyboard/TrackMouseListener.h - told when the mouse rests on or leaves a skinned button.
#pragma once

#include <windows.h>

// The arguments are those of the window message that caused the call; the
// result is the message's answer.
class TrackMouseListener {
public:
    virtual ~TrackMouseListener() = default;
    virtual LRESULT onMouseHover(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    virtual LRESULT onMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
};
