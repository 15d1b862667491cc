// tests/unit/resources/KeyboardPictureTest.cpp - the shipped keyboard
// picture, loaded as the keyboard window loads it: its key colour, its key
// cells and where the buttons land.
#include "ResourceData.h"

#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace keywhirl {
namespace {

// The cells the program writes the characters into; edges inclusive.
struct Cell {
    int left, top, right, bottom;
};

std::vector<Cell> characterCells() {
    struct Row {
        int keys, left, top;
    };
    const Row rows[] = {{13, 14, 34}, {12, 82, 74}, {11, 97, 114}, {10, 121, 154}};
    std::vector<Cell> cells;
    for (const Row& row : rows)
        for (int i = 0; i < row.keys; ++i) {
            int left = row.left + 50 * i;
            cells.push_back({left, row.top, left + 46, row.top + 37});
        }
    cells.push_back({682, 74, 739, 111}); // backslash, right of the second row
    return cells;
}

class KeyboardPicture : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring path = testing::outputFolder() + L"Keyboard/Keywhirl.bmp";
        // as the keyboard window does: a device-dependent bitmap from the file
        bitmap.reset(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        ASSERT_TRUE(bitmap) << "cannot load the keyboard picture";
        BITMAP info{};
        ASSERT_TRUE(::GetObjectW(bitmap.get(), sizeof info, &info));
        width = info.bmWidth;
        height = info.bmHeight;

        utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        {
            utils::SelectedObject selected(dc.get(), bitmap.get());
            keyColour = ::GetPixel(dc.get(), 0, 0);
        }
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof request.bmiHeader;
        request.bmiHeader.biWidth = width;
        request.bmiHeader.biHeight = -height; // top-down
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        pixels.resize(static_cast<std::size_t>(width) * height);
        ASSERT_EQ(
            ::GetDIBits(dc.get(), bitmap.get(), 0, height, pixels.data(), &request, DIB_RGB_COLORS),
            height);
    }

    COLORREF at(int x, int y) const {
        RGBQUAD q = pixels[static_cast<std::size_t>(y) * width + x];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    bool outside(int x, int y) const { return at(x, y) == keyColour; }

    static int luminance(COLORREF c) {
        return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
    }

    // Pixels reachable from `seeds` through 4-neighbours of the same kind.
    int reach(std::vector<POINT> seeds, bool keyColoured) const {
        std::vector<char> seen(pixels.size(), 0);
        std::deque<POINT> queue;
        for (POINT p : seeds)
            if (outside(p.x, p.y) == keyColoured && !seen[p.y * width + p.x]) {
                seen[p.y * width + p.x] = 1;
                queue.push_back(p);
            }
        int count = 0;
        while (!queue.empty()) {
            POINT p = queue.front();
            queue.pop_front();
            ++count;
            const POINT next[] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
            for (POINT n : next) {
                if (n.x < 0 || n.y < 0 || n.x >= width || n.y >= height)
                    continue;
                char& mark = seen[n.y * width + n.x];
                if (!mark && outside(n.x, n.y) == keyColoured) {
                    mark = 1;
                    queue.push_back(n);
                }
            }
        }
        return count;
    }

    utils::UniqueBitmap bitmap;
    int width = 0, height = 0;
    COLORREF keyColour = CLR_INVALID;
    std::vector<RGBQUAD> pixels;
};

TEST_F(KeyboardPicture, HasItsSizeAndTheKeyColourInEveryCorner) {
    EXPECT_EQ(width, 754);
    EXPECT_EQ(height, 246);
    EXPECT_EQ(keyColour, RGB(255, 0, 255));
    EXPECT_EQ(at(0, 0), keyColour) << "GetPixel and GetDIBits agree";
    EXPECT_TRUE(outside(width - 1, 0));
    EXPECT_TRUE(outside(0, height - 1));
    EXPECT_TRUE(outside(width - 1, height - 1));
}

TEST_F(KeyboardPicture, EveryCharacterCellLiesWhollyInsideTheWindow) {
    std::vector<Cell> cells = characterCells();
    ASSERT_EQ(cells.size(), 47u);
    for (const Cell& cell : cells) {
        ASSERT_LT(cell.right, width);
        ASSERT_LT(cell.bottom, height);
        int holes = 0;
        for (int y = cell.top; y <= cell.bottom; ++y)
            for (int x = cell.left; x <= cell.right; ++x)
                holes += outside(x, y);
        EXPECT_EQ(holes, 0) << "cell at " << cell.left << "," << cell.top;
    }
}

TEST_F(KeyboardPicture, KeyFacesAreLightWhereTheDarkLabelsGo) {
    // The labels are black, centred in each cell; the face around the middle
    // of the cell must be light for them to read.
    for (const Cell& cell : characterCells()) {
        int darkest = 255;
        int cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
        for (int y = cy - 10; y <= cy + 10; ++y)
            for (int x = cx - 14; x <= cx + 14; ++x)
                darkest = std::min(darkest, luminance(at(x, y)));
        EXPECT_GE(darkest, 200) << "cell at " << cell.left << "," << cell.top;
    }
}

TEST_F(KeyboardPicture, ButtonsLandOnTheKeyboardAtTheTopRight) {
    // minimize at (width - 33, 15), the hidden close at (width - 52, 15), 11 x 11
    for (int left : {width - 33, width - 52})
        for (int y = 15; y < 26; ++y)
            for (int x = left; x < left + 11; ++x)
                ASSERT_FALSE(outside(x, y)) << x << "," << y;
    // and clear of the keys
    for (const Cell& cell : characterCells())
        EXPECT_GT(cell.top, 25);
}

TEST_F(KeyboardPicture, KeyColourLiesOnlyOutsideAndTheKeyboardIsOnePiece) {
    int keyColoured = 0;
    std::vector<POINT> border;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            keyColoured += outside(x, y);
            if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                border.push_back({x, y});
        }
    ASSERT_GT(keyColoured, 0);
    // every key-coloured pixel joins the outside: none is a hole in the keyboard
    EXPECT_EQ(reach(border, true), keyColoured);
    // and the window region is a single piece, with no stray specks around it
    EXPECT_EQ(reach({{14, 34}}, false), width * height - keyColoured);
}

} // namespace
} // namespace keywhirl
