// src/keyboard/CxSkinButton.h - a push button drawn from pictures.
#pragma once

#include "keyboard/TrackMouseListener.h"
#include "utils/Handles.h"
#include "ui/SubclassedWindow.h"

#include <windows.h>

namespace keywhirl {

// An owner-drawn button (BS_OWNERDRAW, made by a dialog template) that shows
// one picture normally, one while pressed and one while the mouse is over
// it. It looks pressed only while the pressing cursor is over it, and a
// double click counts as two presses. Bind it with subclassItem; its parent
// must be a ui::Dialog, which passes WM_DRAWITEM on to it.
class CxSkinButton : public ui::SubclassedWindow {
public:
    CxSkinButton();
    ~CxSkinButton() override = default;

    // Bitmap resources of the program; 0 leaves a state without a picture
    // (it is then filled with the button face colour). The disabled look
    // uses the normal picture. The button takes the normal picture's size.
    void setSkin(int normal, int pressed, int over);
    // Not owned; told of every WM_MOUSELEAVE. Null for none.
    void setMouseListener(TrackMouseListener* listener) { mouseListener = listener; }
    bool isMouseOver() const { return mouseOver; }
    bool isLeftButtonDown() const { return leftButtonDown; }

    bool onReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    virtual void drawItem(const DRAWITEMSTRUCT& item);

private:
    void onMouseMove(LPARAM lParam);
    void onLeftButtonDown();
    bool isCursorOverMe(POINT screenPoint) const;
    bool isPushed() const;
    void setPushed(bool pushed);
    bool hasCapture() const;

    TrackMouseListener* mouseListener;
    bool mouseOver;
    bool leftButtonDown;
    utils::UniqueBitmap normalBitmap;
    utils::UniqueBitmap pressedBitmap;
    // The normal picture again; not owned separately.
    HBITMAP disabledBitmap;
    utils::UniqueBitmap overBitmap;
    COLORREF textColour;
};

} // namespace keywhirl
