// tests/window/ui/HandlesTest.cpp
#include "ui/DoubleBuffer.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace keywhirl::utils {
namespace {

using ui::DoubleBuffer;

std::vector<int> closed;
void closeCounted(int* value) {
    closed.push_back(*value);
}
using CountedOwner = UniqueAny<int*, closeCounted>;

// GetGuiResources is a stub under Wine, so a released GDI object is seen by
// the handle no longer naming an object.
bool isGdiObject(HGDIOBJ object) {
    return ::GetObjectType(object) != 0;
}

TEST(UniqueAny, ClosesEachHandleExactlyOnce) {
    closed.clear();
    int a = 1, b = 2, c = 3;
    {
        CountedOwner first(&a);
        CountedOwner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), &a);

        CountedOwner third(&b);
        third = std::move(second); // closes b, takes a
        EXPECT_EQ(closed, std::vector<int>({2}));
        third = std::move(third);
        EXPECT_EQ(third.get(), &a) << "moving onto itself keeps the handle";

        third.reset(&c); // closes a
        int* handedOut = third.release();
        EXPECT_EQ(handedOut, &c);
        EXPECT_FALSE(third);
    }
    EXPECT_EQ(closed, std::vector<int>({2, 1})) << "a released handle is not closed";

    closed.clear();
    CountedOwner owner(&a);
    int** slot = owner.addressof();
    EXPECT_EQ(closed, std::vector<int>({1})) << "handing out the slot closes the old handle";
    *slot = &b;
    owner.reset();
    EXPECT_EQ(closed, std::vector<int>({1, 2}));
}

TEST(UniqueAny, GdiOwnersDeleteTheirObjects) {
    HBITMAP bitmap = ::CreateBitmap(4, 4, 1, 32, nullptr);
    HFONT font =
        ::CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HRGN region = ::CreateRectRgn(0, 0, 5, 5);
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(bitmap), static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(region),
          static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(dc)})
        ASSERT_TRUE(isGdiObject(object));
    {
        UniqueBitmap ownedBitmap(bitmap);
        UniqueFont ownedFont(font);
        UniqueRegion ownedRegion(region);
        UniqueBrush ownedBrush(brush);
        UniquePen ownedPen(pen);
        UniqueMemoryDc ownedDc(dc);
    }
    EXPECT_FALSE(isGdiObject(bitmap));
    EXPECT_FALSE(isGdiObject(font));
    EXPECT_FALSE(isGdiObject(region));
    EXPECT_FALSE(isGdiObject(brush));
    EXPECT_FALSE(isGdiObject(pen));
    EXPECT_FALSE(isGdiObject(dc));
}

TEST(UniqueAny, WindowMenuKeyAndHandleOwnersReleaseThem) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    HMENU menu = ::CreatePopupMenu();
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    {
        UniqueWindow ownedWindow(window);
        UniqueMenu ownedMenu(menu);
        UniqueHandle ownedEvent(event);
        UniqueKey ownedKey(key);
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(::IsMenu(menu));
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(event, &flags));
    DWORD values = 0;
    EXPECT_NE(::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                 nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(UniqueAny, FileAndSearchOwnersAreEmptyAtTheInvalidValue) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"keywhirl-handles-test.tmp";

    UniqueFile none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);
    UniqueFile missing(::CreateFileW((path + L".missing\\x").c_str(), GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing) << "a failed open is empty, and closing it is never tried";

    {
        UniqueFile exclusive(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(exclusive);
        UniqueFile second(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(second) << "held without sharing";
        UniqueFile moved(std::move(exclusive));
        EXPECT_FALSE(exclusive);
        EXPECT_TRUE(moved);
    }
    UniqueFile reopened(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reopened) << "the owner closed it";
    reopened.reset();

    WIN32_FIND_DATAW found;
    UniqueFind search(::FindFirstFileW(path.c_str(), &found));
    EXPECT_TRUE(search);
    UniqueFind nothing(::FindFirstFileW((path + L".none").c_str(), &found));
    EXPECT_FALSE(nothing);
    ::DeleteFileW(path.c_str());
}

// Counts its references as a COM object does.
class CountedObject {
public:
    ULONG AddRef() { return ++references; }
    ULONG Release() { return --references; }
    ULONG references = 1;
};

TEST(ComPtr, ReleasesItsReferenceOnceWhereverItGoes) {
    CountedObject object;
    {
        ComPtr<CountedObject> first(&object);
        ComPtr<CountedObject> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), &object);
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);

    CountedObject other;
    object.references = 1;
    ComPtr<CountedObject> held(&object);
    CountedObject** slot = held.addressof(); // a new reference is coming
    EXPECT_EQ(object.references, 0u) << "the old one is let go first";
    *slot = &other;
    EXPECT_EQ(held->references, 1u);
    CountedObject* taken = held.release();
    EXPECT_EQ(taken, &other);
    EXPECT_FALSE(held);
    EXPECT_EQ(other.references, 1u) << "release hands the reference over";
}

TEST(Event, AutoResetUnlessAskedOtherwise) {
    Event automatic;
    Event manual(true, true);
    ASSERT_TRUE(automatic);
    ASSERT_TRUE(manual);
    automatic.set();
    EXPECT_TRUE(automatic.wait(0));
    EXPECT_FALSE(automatic.wait(0));
    EXPECT_TRUE(manual.wait(0));
    EXPECT_TRUE(manual.wait(0));
    manual.clear();
    EXPECT_FALSE(manual.wait(0));
}

TEST(SelectedObject, PutsThePreviousObjectBack) {
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    UniqueBrush brush(::CreateSolidBrush(RGB(9, 9, 9)));
    const HGDIOBJ before = ::GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        SelectedObject selected(dc.get(), brush.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BRUSH), before);
}

TEST(ScopeExit, RunsOnceWhenTheScopeEnds) {
    int runs = 0;
    {
        ScopeExit guard([&runs] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
}

TEST(PaintDc, ValidatesTheUpdateRegion) {
    // Only a visible window keeps an update region. Wine's own events are
    // handled before the window goes, or it waits seconds for them.
    UniqueWindow window(::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"",
                                          WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                                          nullptr));
    ASSERT_TRUE(window);
    ::ShowWindow(window.get(), SW_SHOWNA);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    ::InvalidateRect(window.get(), nullptr, FALSE);
    ASSERT_TRUE(::GetUpdateRect(window.get(), nullptr, FALSE));
    {
        PaintDc paint(window.get());
        EXPECT_NE(paint.get(), nullptr);
    }
    EXPECT_FALSE(::GetUpdateRect(window.get(), nullptr, FALSE));
    ::ShowWindow(window.get(), SW_HIDE);
}

// A 32-bit picture whose pixels a test can read.
class Canvas {
public:
    Canvas(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<const DWORD*>(bits);
        dc_.reset(::CreateCompatibleDC(nullptr));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        RECT all{0, 0, width, height};
        ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() { ::SelectObject(dc_.get(), previous_); }
    HDC dc() const { return dc_.get(); }
    DWORD pixel(int x, int y) const {
        ::GdiFlush();
        return pixels_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    const DWORD* pixels_ = nullptr;
};

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kRed = 0xFF0000; // as a 32-bit DIB stores it: 0x00RRGGBB

TEST(DoubleBuffer, ShowsNothingUntilPresentedThenAllAtOnce) {
    Canvas canvas(20, 10);
    DoubleBuffer buffer(canvas.dc(), 20, 10);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer.width(), 20);
    EXPECT_EQ(buffer.height(), 10);
    UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    RECT all{0, 0, 20, 10};
    ::FillRect(buffer.dc(), &all, red.get());
    EXPECT_EQ(canvas.pixel(5, 5), kWhite);

    ASSERT_TRUE(buffer.present());
    EXPECT_EQ(canvas.pixel(0, 0), kRed) << "in colour: the bitmap matches the target";
    EXPECT_EQ(canvas.pixel(19, 9), kRed);
}

TEST(DoubleBuffer, PresentsAtTheGivenCornerOnly) {
    Canvas canvas(20, 10);
    DoubleBuffer buffer(canvas.dc(), 4, 3);
    UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    RECT all{0, 0, 4, 3};
    ::FillRect(buffer.dc(), &all, red.get());
    ASSERT_TRUE(buffer.present(6, 2));
    EXPECT_EQ(canvas.pixel(6, 2), kRed);
    EXPECT_EQ(canvas.pixel(9, 4), kRed);
    EXPECT_EQ(canvas.pixel(10, 4), kWhite);
    EXPECT_EQ(canvas.pixel(6, 5), kWhite);
    EXPECT_EQ(canvas.pixel(5, 2), kWhite);
}

TEST(DoubleBuffer, AnEmptyAreaGivesNoBufferAndPresentsNothing) {
    Canvas canvas(4, 4);
    for (const auto& size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-1, 3}}) {
        DoubleBuffer buffer(canvas.dc(), size.first, size.second);
        EXPECT_FALSE(buffer);
        EXPECT_FALSE(buffer.present());
    }
    DoubleBuffer noTarget(nullptr, 5, 5);
    EXPECT_FALSE(noTarget);
}

TEST(DoubleBuffer, ReleasesItsDcAndBitmap) {
    Canvas canvas(8, 8);
    HDC dc = nullptr;
    HGDIOBJ bitmap = nullptr;
    {
        DoubleBuffer buffer(canvas.dc(), 8, 8);
        dc = buffer.dc();
        bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
        ASSERT_TRUE(isGdiObject(dc));
        ASSERT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_FALSE(isGdiObject(dc));
    EXPECT_FALSE(isGdiObject(bitmap)) << "deselected first, so it could be deleted";

    // A window repaints every second: many buffers in a row, each released.
    for (int i = 0; i < 300; ++i) {
        HGDIOBJ made = nullptr;
        {
            DoubleBuffer buffer(canvas.dc(), 16, 16);
            ASSERT_TRUE(buffer);
            made = ::GetCurrentObject(buffer.dc(), OBJ_BITMAP);
        }
        ASSERT_FALSE(isGdiObject(made)) << "cycle " << i;
    }
}

} // namespace
} // namespace keywhirl::utils
