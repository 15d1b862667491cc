// tests/unit/keyboard/BitmapRegionTest.cpp
#include "keyboard/BitmapRegion.h"

#include "utils/Handles.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

using Pixels = std::vector<std::uint32_t>;

TEST(RunsWithoutKeyColour, OneRectanglePerRunInEachRow) {
    const std::uint32_t k = 7, o = 1;
    Pixels pixels = {
        k, o, o, k, o, // two runs
        o, o, o, o, o, // the whole row
        k, k, k, k, k, // none
        o, k, k, k, 2, // runs at both edges, any other colour counts
    };
    std::vector<RECT> runs = runsWithoutKeyColour(pixels, 5, 4, k);
    ASSERT_EQ(5u, runs.size());
    auto same = [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(RECT{1, 0, 3, 1}, runs[0]));
    EXPECT_TRUE(same(RECT{4, 0, 5, 1}, runs[1]));
    EXPECT_TRUE(same(RECT{0, 1, 5, 2}, runs[2]));
    EXPECT_TRUE(same(RECT{0, 3, 1, 4}, runs[3]));
    EXPECT_TRUE(same(RECT{4, 3, 5, 4}, runs[4]));
}

TEST(RunsWithoutKeyColour, RefusesTooFewPixels) {
    EXPECT_TRUE(runsWithoutKeyColour(Pixels(5, 1), 3, 2, 0).empty());
    EXPECT_TRUE(runsWithoutKeyColour(Pixels(), 0, 0, 0).empty());
}

// The region built the slow way: the whole rectangle, less a 1 x 1 region
// for each pixel of the key colour.
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

TEST(CreateRegionWithoutKeyColour, EqualsThePixelByPixelRegion) {
    const int width = 90, height = 60;
    HDC screen = ::GetDC(nullptr);
    utils::UniqueBitmap picture(::CreateCompatibleBitmap(screen, width, height));
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    {
        utils::SelectedObject selected(dc.get(), picture.get());
        const COLORREF key = RGB(255, 0, 255);
        RECT all = {0, 0, width, height};
        utils::UniqueBrush keyBrush(::CreateSolidBrush(key));
        ::FillRect(dc.get(), &all, keyBrush.get());
        // A rounded body with holes of the key colour inside, one touching
        // nothing, a near-key colour that must stay, and stray pixels.
        utils::UniqueBrush body(::CreateSolidBrush(RGB(40, 50, 60)));
        utils::SelectedObject bodyBrush(dc.get(), body.get());
        ::RoundRect(dc.get(), 3, 4, 85, 55, 14, 14);
        RECT hole = {20, 20, 30, 26};
        ::FillRect(dc.get(), &hole, keyBrush.get());
        for (int i = 1; i < 40; ++i)
            ::SetPixel(dc.get(), (i * 37) % width, (i * 23) % height,
                       i % 3 ? key : RGB(255, 0, 254));
        ::SetPixel(dc.get(), width - 1, height - 1, RGB(1, 2, 3));
    }

    utils::UniqueRegion fast = createRegionWithoutKeyColour(dc.get(), picture.get());
    ASSERT_TRUE(fast);
    utils::SelectedObject selected(dc.get(), picture.get());
    utils::UniqueRegion slow(regionPixelByPixel(dc.get(), width, height));
    EXPECT_TRUE(::EqualRgn(fast.get(), slow.get()));
    EXPECT_FALSE(::PtInRegion(fast.get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(fast.get(), 25, 22)) << "a hole inside the body";
    EXPECT_TRUE(::PtInRegion(fast.get(), 40, 30));
    EXPECT_TRUE(::PtInRegion(fast.get(), width - 1, height - 1));
}

TEST(CreateRegionWithoutKeyColour, APictureOfOneColourHasAnEmptyRegion) {
    HDC screen = ::GetDC(nullptr);
    utils::UniqueBitmap picture(::CreateCompatibleBitmap(screen, 8, 8));
    ::ReleaseDC(nullptr, screen);
    utils::UniqueRegion region = createRegionWithoutKeyColour(nullptr, picture.get());
    ASSERT_TRUE(region);
    RECT box;
    EXPECT_EQ(NULLREGION, ::GetRgnBox(region.get(), &box));
    EXPECT_FALSE(createRegionWithoutKeyColour(nullptr, nullptr));
}

} // namespace
} // namespace keywhirl
