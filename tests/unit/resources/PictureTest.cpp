// tests/unit/resources/PictureTest.cpp - the bitmaps and the icon: sizes the
// windows depend on, and the colour conventions of the menu pictures.
#include "ResourceData.h"
#include "ResourcePicture.h"

#include "resource.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

namespace keywhirl {
namespace {

using testing::ResourcePicture;

struct PictureSize {
    WORD id;
    int width;
    int height;
};

const PictureSize kPictures[] = {
    {IDB_CROSS_PRESSED, 11, 11}, {IDB_CROSS_OVER, 11, 11},       {IDB_CROSS_NORMAL, 11, 11},
    {IDB_BAR_PRESSED, 11, 11},   {IDB_BAR_OVER, 11, 11},         {IDB_BAR_NORMAL, 11, 11},
    {IDB_ABOUT, 450, 435},       {IDB_SETTINGS_BANNER, 352, 44}, {IDB_MENU_SETTINGS, 13, 13},
    {IDB_MENU_ABOUT, 13, 13},    {IDB_MENU_CHECK, 13, 13},       {IDB_MENU_EXIT, 13, 13},
    {IDB_MENU_HELP, 13, 13},     {IDB_SPLASH, 650, 635},
};

TEST(Pictures, EveryBitmapHasItsSizeAt24BitsAsStoredAndAsLoaded) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    for (const PictureSize& want : kPictures) {
        SCOPED_TRACE("bitmap " + std::to_string(want.id));
        ResourcePicture stored(want.id);
        EXPECT_EQ(stored.width(), want.width);
        EXPECT_EQ(stored.height(), want.height);
        EXPECT_EQ(stored.bitsPerPixel(), 24);

        // the way the splash loads its picture
        utils::UniqueBitmap loaded(
            static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(want.id), IMAGE_BITMAP, 0, 0,
                                              LR_CREATEDIBSECTION | LR_DEFAULTSIZE)));
        ASSERT_TRUE(loaded);
        BITMAP info{};
        ASSERT_EQ(::GetObjectW(loaded.get(), sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmWidth, want.width);
        EXPECT_EQ(info.bmHeight, want.height);
        EXPECT_EQ(info.bmBitsPixel, 24);
    }
}

TEST(Pictures, MenuPicturesKeepTheLightGreyGroundAndNoOtherMappedColour) {
    // Loading a menu picture swaps these four exact colours for system
    // colours; only the ground may use one, or the glyph changes with the
    // desktop's colour scheme.
    const COLORREF ground = RGB(192, 192, 192);
    const std::set<COLORREF> mapped = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 255)};
    for (WORD id :
         {IDB_MENU_CHECK, IDB_MENU_SETTINGS, IDB_MENU_HELP, IDB_MENU_ABOUT, IDB_MENU_EXIT}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        ResourcePicture picture(id);
        EXPECT_EQ(picture.at(0, 0), ground);
        EXPECT_EQ(picture.at(12, 0), ground);
        int glyph = 0;
        for (COLORREF colour : picture.pixels()) {
            EXPECT_EQ(mapped.count(colour), 0u) << std::hex << colour;
            glyph += colour != ground;
        }
        EXPECT_GE(glyph, 20) << "a picture, not an empty square";
    }
}

TEST(Pictures, ButtonStatesCanBeToldApart) {
    auto differing = [](WORD a, WORD b) {
        ResourcePicture first(a), second(b);
        int count = 0;
        for (std::size_t i = 0; i < first.pixels().size(); ++i)
            count += first.pixels()[i] != second.pixels()[i];
        return count;
    };
    const std::pair<WORD, WORD> pairs[] = {
        {IDB_CROSS_NORMAL, IDB_CROSS_PRESSED}, {IDB_CROSS_NORMAL, IDB_CROSS_OVER},
        {IDB_CROSS_PRESSED, IDB_CROSS_OVER},   {IDB_BAR_NORMAL, IDB_BAR_PRESSED},
        {IDB_BAR_NORMAL, IDB_BAR_OVER},        {IDB_CROSS_NORMAL, IDB_BAR_NORMAL},
    };
    for (auto [a, b] : pairs)
        EXPECT_GT(differing(a, b), 30) << a << " and " << b << " look alike";
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Pictures, IconCarriesSixteenThirtyTwoAndFortyEightPixelImages) {
    testing::ResourceData group = testing::ResourceData::find(RT_GROUP_ICON, IDI_KEYWHIRL);
    ASSERT_GE(group.size, 6u);
    WORD count = 0;
    std::memcpy(&count, group.bytes + 4, sizeof count);
    ASSERT_EQ(group.size, 6 + count * sizeof(GroupIconEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.bytes + 6 + i * sizeof entry, sizeof entry);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32);
        EXPECT_FALSE(testing::ResourceData::find(RT_ICON, entry.id).empty());
        sizes.insert(entry.width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));

    // the tray takes the 16 pixel image, the window the standard one
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        utils::UniqueIcon icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                               MAKEINTRESOURCEW(IDI_KEYWHIRL),
                                                               IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
        utils::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap{};
        ASSERT_TRUE(::GetObjectW(colour.get(), sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
    }
}

} // namespace
} // namespace keywhirl
