// tests/window/keyboard/CxSkinButtonTest.cpp
#include "keyboard/CxSkinButton.h"

#include "MouseInput.h"
#include "resource.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>

#include <vector>

namespace keywhirl {
namespace {

using testing::centreOf;
using testing::moveMouseTo;
using testing::pump;
using testing::pumpUntil;
using testing::sendMouse;

class LeaveListener : public TrackMouseListener {
public:
    LRESULT onMouseLeave(WPARAM wParam, LPARAM lParam) override {
        ++calls;
        lastWParam = wParam;
        lastLParam = lParam;
        return 42;
    }
    int calls = 0;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
};

// The keyboard window's template with its minimize button skinned, and
// nothing else of the keyboard window.
class ButtonHost : public ui::Dialog {
public:
    CxSkinButton button;
    int clicks = 0;

protected:
    bool onInitDialog() override {
        button.subclassItem(handle(), IDC_KEYBOARD_MINIMIZE);
        button.setSkin(IDB_CROSS_NORMAL, IDB_CROSS_PRESSED, IDB_CROSS_OVER);
        return false;
    }
    bool onCommand(int id, int code, HWND) override {
        if (id == IDC_KEYBOARD_MINIMIZE && code == BN_CLICKED)
            ++clicks;
        return true;
    }
    void onOk() override {}
    void onCancel() override {}
};

using Pixels = std::vector<COLORREF>;

Pixels pixelsOf(HDC dc) {
    Pixels pixels;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    return pixels;
}

Pixels pixelsOfResource(int id) {
    HDC screen = ::GetDC(nullptr);
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    utils::UniqueBitmap picture(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
    utils::SelectedObject selected(dc.get(), picture.get());
    return pixelsOf(dc.get());
}

class CxSkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.createModeless(IDD_KEYBOARD_DIALOG, nullptr));
        ::SetWindowPos(host.handle(), HWND_TOPMOST, 200, 200, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        pump(50);
        button = host.button.handle();
        ASSERT_NE(nullptr, button);
    }
    void TearDown() override {
        sendMouse(MOUSEEVENTF_LEFTUP);
        moveMouseTo({5, 5});
        pump(20);
    }

    // What the button draws now, in a given item state.
    Pixels drawn(UINT itemState) {
        HDC screen = ::GetDC(nullptr);
        utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
        utils::UniqueBitmap canvas(::CreateCompatibleBitmap(screen, 11, 11));
        ::ReleaseDC(nullptr, screen);
        utils::SelectedObject selected(dc.get(), canvas.get());
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_KEYBOARD_MINIMIZE;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = button;
        item.hDC = dc.get();
        item.rcItem = {0, 0, 11, 11};
        LRESULT result = 0;
        EXPECT_TRUE(host.button.onReflectedMessage(WM_DRAWITEM, IDC_KEYBOARD_MINIMIZE,
                                                   reinterpret_cast<LPARAM>(&item), result));
        return pixelsOf(dc.get());
    }
    bool pushed() { return (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

    ButtonHost host;
    HWND button = nullptr;
    const Pixels normal = pixelsOfResource(IDB_CROSS_NORMAL);
    const Pixels pressed = pixelsOfResource(IDB_CROSS_PRESSED);
    const Pixels over = pixelsOfResource(IDB_CROSS_OVER);
};

TEST_F(CxSkinButtonTest, TakesTheSizeOfItsNormalPicture) {
    RECT rect;
    ::GetWindowRect(button, &rect);
    EXPECT_EQ(11, rect.right - rect.left);
    EXPECT_EQ(11, rect.bottom - rect.top);
    ASSERT_NE(normal, pressed) << "the three pictures must differ for the tests below";
    ASSERT_NE(normal, over);
    ASSERT_NE(pressed, over);
}

TEST_F(CxSkinButtonTest, DrawsThePictureOfItsState) {
    EXPECT_EQ(normal, drawn(0));
    EXPECT_EQ(pressed, drawn(ODS_SELECTED));
    EXPECT_EQ(normal, drawn(ODS_DISABLED)) << "the disabled look is the normal picture";
}

TEST_F(CxSkinButtonTest, ShowsTheOverPictureWhileTheMouseIsOverIt) {
    LeaveListener listener;
    host.button.setMouseListener(&listener);
    moveMouseTo(centreOf(button));
    ASSERT_TRUE(pumpUntil([&] { return host.button.isMouseOver(); }));
    EXPECT_EQ(over, drawn(0));
    EXPECT_EQ(pressed, drawn(ODS_SELECTED));

    moveMouseTo({20, 20});
    ASSERT_TRUE(pumpUntil([&] { return !host.button.isMouseOver(); }));
    EXPECT_EQ(normal, drawn(0));
    EXPECT_EQ(1, listener.calls);
}

TEST_F(CxSkinButtonTest, TellsTheListenerOfEveryMouseLeaveWithItsArguments) {
    LeaveListener listener;
    host.button.setMouseListener(&listener);
    EXPECT_EQ(42, ::SendMessageW(button, WM_MOUSELEAVE, 5, 7));
    EXPECT_EQ(1, listener.calls);
    EXPECT_EQ(5u, listener.lastWParam);
    EXPECT_EQ(7, listener.lastLParam);
    host.button.setMouseListener(nullptr);
    EXPECT_EQ(0, ::SendMessageW(button, WM_MOUSELEAVE, 5, 7));
    EXPECT_EQ(1, listener.calls);
}

TEST_F(CxSkinButtonTest, LooksPressedOnlyWhileThePressingCursorIsOverIt) {
    POINT inside = centreOf(button);
    POINT outside = {inside.x + 60, inside.y + 40};
    moveMouseTo(inside);
    ASSERT_TRUE(pumpUntil([&] { return host.button.isMouseOver(); }));

    sendMouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(pumpUntil([&] { return host.button.isLeftButtonDown(); }));
    EXPECT_FALSE(host.button.isMouseOver()) << "leave tracking is cancelled while pressed";
    EXPECT_EQ(button, ::GetCapture());
    EXPECT_TRUE(pushed());

    moveMouseTo(outside);
    EXPECT_TRUE(pumpUntil([&] { return !pushed(); }));
    moveMouseTo(inside);
    EXPECT_TRUE(pumpUntil([&] { return pushed(); }));
    moveMouseTo(outside);
    EXPECT_TRUE(pumpUntil([&] { return !pushed(); }));

    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pumpUntil([&] { return !host.button.isLeftButtonDown(); }));
    pump(50);
    EXPECT_EQ(0, host.clicks) << "released off the button: no click";
}

TEST_F(CxSkinButtonTest, AReleaseOverTheButtonIsAClickAndADoubleClickIsTwo) {
    moveMouseTo(centreOf(button));
    pump(30);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pumpUntil([&] { return host.clicks == 1; }));

    // Two quick clicks: the second press arrives as a double click.
    pump(800);
    host.clicks = 0;
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(pumpUntil([&] { return host.clicks == 2; }));
    pump(50);
    EXPECT_EQ(2, host.clicks);
}

TEST_F(CxSkinButtonTest, ADoubleClickMessageIsTreatedAsAPress) {
    POINT inside = {5, 5};
    ::SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    EXPECT_TRUE(host.button.isLeftButtonDown());
    EXPECT_EQ(button, ::GetCapture());
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_FALSE(host.button.isLeftButtonDown());
}

TEST_F(CxSkinButtonTest, LosingTheFocusWhilePressedReleasesTheCapture) {
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(button, ::GetCapture());
    ::SendMessageW(button, WM_KILLFOCUS, 0, 0);
    EXPECT_NE(button, ::GetCapture());
    EXPECT_FALSE(host.button.isLeftButtonDown());
}

TEST(CxSkinButtonWithoutWindow, SetSkinLoadsPicturesWithoutAWindow) {
    CxSkinButton button;
    button.setSkin(IDB_BAR_NORMAL, IDB_BAR_PRESSED, 0);
    EXPECT_FALSE(button.isMouseOver());
    EXPECT_FALSE(button.isLeftButtonDown());
}

} // namespace
} // namespace keywhirl
