// bench/keyboard/KeyboardBench.cpp - what one repaint of the keyboard window
// costs (picture, 47 labels, buttons), and what cutting the window to the
// shape of its picture costs, against the pixel-by-pixel way.
#include "keyboard/BitmapRegion.h"
#include "keyboard/KeyboardDlg.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "utils/Handles.h"
#include "weakkeys/WeakKeyRecorder.h"

#include "BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace keywhirl;
using bench::makeTempFolder;
using bench::now;
using bench::outputFolder;

namespace {

void report(const char* what, double seconds, int count, double goalMilliseconds) {
    double milli = seconds * 1e3 / count;
    std::printf("%-52s %9.3f ms each", what, milli);
    if (goalMilliseconds > 0)
        std::printf("   goal < %.0f ms: %s", goalMilliseconds,
                    milli < goalMilliseconds ? "met" : "MISSED");
    std::printf("\n");
}

void pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

KeyInfoWrapper shiftEvent(bool down) {
    KeyRecord record = {};
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = VK_SHIFT;
    record.keyData = 1u | 0x2Au << 16 | (down ? 0u : 0xC0000000u);
    if (down)
        record.keyState[VK_SHIFT] = record.keyState[VK_LSHIFT] = 0x80;
    return KeyInfoWrapper(record);
}

void benchRepaint() {
    KeyboardDlg keyboard;
    if (!keyboard.create(nullptr)) {
        std::printf("the keyboard window could not be made\n");
        return;
    }
    HWND window = keyboard.getSafeHwnd();
    keyboard.restoreFromTray();
    for (int i = 0; i < 20; ++i) {
        pump();
        ::Sleep(10);
    }

    const int repaints = 100;
    double start = now();
    for (int i = 0; i < repaints; ++i)
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    report("window repaint (picture, 47 labels, buttons)", now() - start, repaints, 5);

    // Every repaint follows a Shift press or release, so each shows other
    // labels than the one before.
    // The first showing of each character costs its glyph once; that is
    // not what is measured here.
    for (int i = 0; i < 10; ++i) {
        keyboard.onKey(shiftEvent(i % 2 == 0));
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    start = now();
    for (int i = 0; i < repaints; ++i) {
        keyboard.onKey(shiftEvent(i % 2 == 0));
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    report("window repaint after Shift pressed or released", now() - start, repaints, 5);

    // The weak keys' tint: every repaint follows a change of the record that
    // changes the tint, so the picture is composed afresh each time.
    std::atomic<unsigned> waitInterval{3000};
    WeakKeyRecorder record(&waitInterval);
    for (unsigned scanCode = 0x10; scanCode <= 0x32; ++scanCode) {
        WeakKeyRecorder::KeyCounts counts;
        counts.presses = 100;
        counts.hesitations = scanCode % 7;
        record.setCounts(WeakKeyRecorder::keyIndex(scanCode, false), counts);
    }
    keyboard.setWeakKeys(&record);
    Settings::instance()->showWeakKeys = true;
    auto changeRecord = [&](int i) {
        WeakKeyRecorder::KeyCounts counts;
        counts.presses = 100;
        counts.hesitations = 10 + i % 2;
        record.setCounts(WeakKeyRecorder::keyIndex(0x24, false), counts);
    };
    for (int i = 0; i < 10; ++i) {
        changeRecord(i);
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    start = now();
    for (int i = 0; i < repaints; ++i) {
        changeRecord(i);
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    report("window repaint with the weak keys' tint changed", now() - start, repaints, 5);
    Settings::instance()->showWeakKeys = false;
    keyboard.setWeakKeys(nullptr);

    // The labels alone, into a memory picture of the same size.
    HDC screen = ::GetDC(nullptr);
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    utils::UniqueBitmap canvas(::CreateCompatibleBitmap(screen, 754, 246));
    ::ReleaseDC(nullptr, screen);
    utils::SelectedObject selected(dc.get(), canvas.get());
    const KeyboardDrawer& drawer = keyboard.getDrawer();
    start = now();
    for (int i = 0; i < repaints; ++i)
        const_cast<KeyboardDrawer&>(drawer).draw(dc.get());
    report("labels drawn onto a picture", now() - start, repaints, 0);

    // A new combination of layout, key state and dead key: every label is
    // translated.
    double translating = 0;
    for (int i = 0; i < repaints; ++i) {
        KeyboardDrawer fresh;
        fresh.onKey(shiftEvent(i % 2 == 0));
        double begin = now();
        fresh.currentLabels();
        translating += now() - begin;
    }
    report("labels translated for the first time", translating, repaints, 0);
    ::DestroyWindow(window);
}

HRGN regionPixelByPixel(HDC dc, int width, int height) {
    HRGN region = ::CreateRectRgn(0, 0, width, height);
    COLORREF key = ::GetPixel(dc, 0, 0);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (::GetPixel(dc, x, y) != key)
                continue;
            utils::UniqueRegion pixel(::CreateRectRgn(x, y, x + 1, y + 1));
            ::CombineRgn(region, region, pixel.get(), RGN_DIFF);
        }
    }
    return region;
}

void benchRegion() {
    utils::UniqueBitmap picture(static_cast<HBITMAP>(::LoadImageW(
        nullptr, KeyboardDlg::backgroundPath().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!picture) {
        std::printf("no keyboard picture\n");
        return;
    }
    BITMAP size = {};
    ::GetObjectW(picture.get(), sizeof size, &size);
    HDC screen = ::GetDC(nullptr);

    const int builds = 20;
    double start = now();
    for (int i = 0; i < builds; ++i)
        utils::UniqueRegion region = createRegionWithoutKeyColour(screen, picture.get());
    report("window shape, by runs of pixels", now() - start, builds, 0);

    utils::UniqueRegion fast = createRegionWithoutKeyColour(screen, picture.get());
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    utils::SelectedObject selected(dc.get(), picture.get());
    start = now();
    utils::UniqueRegion slow(regionPixelByPixel(dc.get(), size.bmWidth, size.bmHeight));
    report("window shape, pixel by pixel (for comparison)", now() - start, 1, 0);
    std::printf("%-52s %s\n", "both shapes equal",
                ::EqualRgn(fast.get(), slow.get()) ? "yes" : "NO");
    ::ReleaseDC(nullptr, screen);
}

} // namespace

int main() {
    std::wstring temp = makeTempFolder(L"keywhirl-keyboard-bench");
    setFolderOverrides(outputFolder(), temp);
    benchRepaint();
    benchRegion();
    Settings::destroyInstance();
    ::DeleteFileW((temp + L"\\Keywhirl\\Keywhirl.ini").c_str());
    ::RemoveDirectoryW((temp + L"\\Keywhirl").c_str());
    ::RemoveDirectoryW(temp.c_str());
    return 0;
}
