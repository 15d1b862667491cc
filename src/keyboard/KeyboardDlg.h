// src/keyboard/KeyboardDlg.h - the window that shows the keyboard picture.
#pragma once

#include "input/KeyInfoWrapper.h"
#include "keyboard/Command.h"
#include "keyboard/CxSkinButton.h"
#include "keyboard/KeyboardDrawer.h"
#include "keyboard/OpacityChanger.h"
#include "keyboard/OpacityFinish.h"
#include "ui/Desktop.h"
#include "ui/Dialog.h"
#include "utils/CriticalSection.h"
#include "utils/Handles.h"
#include "weakkeys/WeakKeyRecorder.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace keywhirl {

// The keyboard picture from Keyboard\Keywhirl.bmp below the program folder,
// cut to its shape, always on top and translucent, with the characters of
// the current layout on its keys. It fades in and out, plays the caption
// animation to and from the tray corner, can be dragged, offers the tray
// menu on a right click, and saves its position and visibility when it is
// destroyed.
//
// The window belongs to the main thread. startFade, hideToTray,
// restoreFromTray, setLayout and onKey may be called from any thread and do
// nothing while the window does not exist; they never wait for the window's
// thread.
class KeyboardDlg : public ui::Dialog {
public:
    KeyboardDlg();
    // Destroys a window that still exists (so its position is saved), after
    // stopping the fader.
    ~KeyboardDlg() override;

    // Not owned. The window runs them by type: close commands on WM_CLOSE,
    // minimize commands on a click of its button.
    virtual void addCommand(commands::Command* command);
    // Creates the window, hidden, from its dialog template. False when it
    // could not be made, also when the picture is missing.
    virtual bool create(HWND owner);
    virtual HWND getSafeHwnd() const { return handle(); }

    // Shows the window and fades it in, or fades it out (and then hides it).
    // A hidden keyboard first moves to the monitor of the window the user
    // types in while the setting keyboardFollowsTyping is on.
    virtual void startFade(bool show);
    // Hides a visible window at once, with the animation to the tray corner.
    virtual void hideToTray();
    // Shows a hidden window at full opacity, with the animation from the
    // tray corner; a fade under way stops.
    virtual void restoreFromTray();
    // Labels the keys in this layout, with the last key event's modifiers.
    virtual void setLayout(HKL layout);
    // Lets the labels follow the event; repaints when they change, and on
    // a typing key press while the weak keys' tint is shown.
    virtual void onKey(const KeyInfoWrapper& event);

    // The weak key record whose heat tint the picture shows while the
    // setting showWeakKeys is on; not owned, null for none.
    void setWeakKeys(const WeakKeyRecorder* record);
    // Repaints after the tint was switched or the record cleared. Main
    // thread only.
    void refreshWeakKeys();
    // What the tooltip of a key says: its label, presses, hesitations and
    // lead time. Main thread only.
    std::wstring weakKeyTooltip(unsigned scanCode) const;
    HWND getTooltip() const { return tooltip; }
    // Draws what the window shows (picture, tint and labels) into dc.
    void drawPicture(HDC dc, const RECT& client) const;

    // Where the picture is looked for.
    static std::wstring backgroundPath();

    const OpacityChanger& getFader() const { return fader; }
    const KeyboardDrawer& getDrawer() const { return drawer; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onCommand(int id, int code, HWND control) override;
    // Enter and Escape never close the keyboard.
    void onOk() override {}
    void onCancel() override {}
    void onDestroy() override;

    virtual void onLeftButtonDown(UINT flags, POINT point);
    // The caption animation between the window and the tray corner.
    virtual void animateTray(bool towardsTray);

private:
    void bindControls();
    bool loadBackground();
    void reportMissingBackground(const std::wstring& path);
    void setBackground(HBITMAP bitmap);
    void placeWindow();
    void initFader();
    // The place in its work area the keyboard keeps on every monitor: set
    // where it starts and where a drag leaves it. Main thread only.
    void keepAnchor();
    // Moves the hidden keyboard to the monitor of the foreground window.
    void followTyping(HWND window);
    void initSkins();
    void paintKeyboard();
    // The heat level of each label's key; empty while no tint is shown.
    std::vector<int> tintLevels(const std::vector<KeyboardDrawer::KeyLabel>& labels) const;
    void composePicture(HDC dc, const RECT& client,
                        const std::vector<KeyboardDrawer::KeyLabel>& labels, bool tint,
                        const std::vector<int>& levels, const std::vector<std::wstring>& keyNames,
                        unsigned heldKeys) const;
    void showContextMenu();
    void onSetOpacity(WPARAM opacity);
    bool weakKeysShown() const;
    // The names of the named keys in the interface language.
    static std::vector<std::wstring> namedKeyTexts();
    // One tool per key cell; the texts come when the tooltip asks.
    void createTooltip();
    // Lets the labelled copy of the picture go, with what it was drawn from.
    void forgetComposedPicture();
    void onTooltipText(NMHDR* header);
    template <typename CommandType> void runCommands();

    KeyboardDrawer drawer;
    utils::UniqueBitmap background;
    // The picture with the labels of composedLabels on it, kept from one
    // paint to the next; main thread only.
    utils::UniqueBitmap composed;
    std::vector<KeyboardDrawer::KeyLabel> composedLabels;
    bool composedTint = false;
    std::vector<int> composedLevels;
    std::vector<std::wstring> composedKeyNames;
    unsigned composedHeldKeys = 0;
    std::atomic<const WeakKeyRecorder*> weakKeys{nullptr};
    // Owned by the window, destroyed with it; main thread only.
    HWND tooltip = nullptr;
    bool tooltipActive = false;
    std::wstring tooltipText;
    std::vector<commands::Command*> commands;
    CxSkinButton closeButton;
    CxSkinButton minimizeButton;
    OpacityChanger fader;
    std::unique_ptr<OpacityFinish> finishListener;
    // Written on the main thread, read where the hint comes.
    utils::CriticalSection anchorLock;
    ui::Desktop::Anchor anchor;
    std::atomic<bool> paintedOnce;
    std::atomic<bool> shown;
};

} // namespace keywhirl
