// tests/window/ui/PlacedMessageBoxTest.cpp
#include "ui/PlacedMessageBox.h"

#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <atomic>

namespace keywhirl::ui {
namespace {

constexpr wchar_t kCaption[] = L"Placed box";

// Finds the box from another thread, notes where it stands and answers it.
class BoxWatcher {
public:
    BoxWatcher() : thread(::CreateThread(nullptr, 0, watch, this, 0, nullptr)) {}
    ~BoxWatcher() { ::WaitForSingleObject(thread.get(), INFINITE); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    RECT rect{};
    std::atomic<bool> found{false};

private:
    static DWORD WINAPI watch(void* context) {
        auto* self = static_cast<BoxWatcher*>(context);
        const DWORD deadline = ::GetTickCount() + 10000;
        while (::GetTickCount() < deadline) {
            HWND box = ::FindWindowW(L"#32770", kCaption);
            if (box && ::IsWindowVisible(box)) {
                ::GetWindowRect(box, &self->rect);
                self->found = true;
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            ::Sleep(10);
        }
        return 0;
    }
    utils::UniqueHandle thread;
};

TEST(PlacedMessageBox, StandsInTheMiddleOfAWorkAreaWhereverItsOwnerIs) {
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* name;
        POINT owner;
        bool visible;
    };
    const Case cases[] = {
        {"a hidden owner far off every screen", {-20000, -20000}, false},
        {"a hidden owner below the screen", {100, work.bottom + 2000}, false},
        {"a visible owner partly off the right edge", {work.right - 40, work.top + 10}, true},
    };
    ::SetCursorPos((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND owner = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, c.owner.x,
                                       c.owner.y, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        if (c.visible)
            ::ShowWindow(owner, SW_SHOWNOACTIVATE);
        BoxWatcher watcher;
        EXPECT_EQ(IDOK, PlacedMessageBox::show(owner, L"Where am I?", kCaption, MB_OK));
        ASSERT_TRUE(watcher.found);
        const RECT& box = watcher.rect;
        RECT inside;
        ::IntersectRect(&inside, &box, &work);
        EXPECT_TRUE(::EqualRect(&inside, &box)) << "wholly inside the work area";
        if (!c.visible) {
            EXPECT_NEAR((work.left + work.right) / 2, (box.left + box.right) / 2, 1);
            EXPECT_NEAR((work.top + work.bottom) / 2, (box.top + box.bottom) / 2, 1);
        }
        ::DestroyWindow(owner);
    }
}

TEST(PlacedMessageBox, ComesToTheOwnersMonitorOrElseTheMousePointers) {
    HWND owner = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 100, 50, 300, 200,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ::SetCursorPos(7, 9);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const POINT hidden = PlacedMessageBox::anchorPoint(owner);
    EXPECT_EQ(cursor.x, hidden.x);
    EXPECT_EQ(cursor.y, hidden.y);
    ::ShowWindow(owner, SW_SHOWNOACTIVATE);
    const POINT shown = PlacedMessageBox::anchorPoint(owner);
    EXPECT_EQ(250, shown.x);
    EXPECT_EQ(150, shown.y);
    ::DestroyWindow(owner);
}

} // namespace
} // namespace keywhirl::ui
