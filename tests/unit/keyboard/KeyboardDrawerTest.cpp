// tests/unit/keyboard/KeyboardDrawerTest.cpp
#include "keyboard/KeyboardDrawer.h"

#include "FakeLayouts.h"
#include "utils/Handles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace keywhirl {
namespace {

using testing::FakeLayouts;
using testing::KeyEvent;
using Label = KeyboardDrawer::Label;

constexpr wchar_t kAcute = L'\u00B4';

TEST(RectTest, KeepsInclusiveEdges) {
    utils::Rect rect(10, 20, 0, 0);
    rect.setWidth(47);
    rect.setHeight(38);
    EXPECT_EQ(56, rect.getRight());
    EXPECT_EQ(57, rect.getBottom());
    rect.offset(-3, 5);
    EXPECT_EQ(utils::Rect(7, 25, 53, 62), rect);
    RECT platform = rect.toRECT();
    EXPECT_EQ(7, platform.left);
    EXPECT_EQ(25, platform.top);
    EXPECT_EQ(53, platform.right);
    EXPECT_EQ(62, platform.bottom);
    EXPECT_EQ(utils::Rect(0, 0, 0, 0), utils::Rect());
}

TEST(KeyRectTest, ValidUnlessMadeWithFalse) {
    EXPECT_TRUE(KeyRect().isValid());
    EXPECT_TRUE(KeyRect(1, 2, 3, 4).isValid());
    EXPECT_FALSE(KeyRect(false).isValid());
}

// Every cell of the picture, by its row and place in the row.
TEST(KeyCellsTest, FortySevenCellsAtTheirPixels) {
    std::map<unsigned, utils::Rect> expected;
    auto row = [&](std::initializer_list<unsigned> codes, int left, int top) {
        int i = 0;
        for (unsigned code : codes) {
            expected[code] = utils::Rect(left + 50 * i, top, left + 50 * i + 46, top + 37);
            ++i;
        }
    };
    row({0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D}, 14, 34);
    row({0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B}, 82, 74);
    row({0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28}, 97, 114);
    row({0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35}, 121, 154);
    expected[0x2B] = utils::Rect(682, 74, 739, 111);
    ASSERT_EQ(47u, expected.size());

    int valid = 0;
    for (unsigned code = 0; code < 256; ++code) {
        KeyRect cell = KeyboardDrawer::keyRectFor(code);
        auto found = expected.find(code);
        if (found == expected.end()) {
            EXPECT_FALSE(cell.isValid()) << "scan code " << code;
            continue;
        }
        ++valid;
        EXPECT_TRUE(cell.isValid()) << "scan code " << code;
        EXPECT_EQ(found->second, static_cast<const utils::Rect&>(cell)) << "scan code " << code;
    }
    EXPECT_EQ(47, valid);
}

TEST(KeyCellsTest, TheEdgesOfThePictureArea) {
    EXPECT_EQ(14, KeyboardDrawer::keyRectFor(0x29).getLeft());
    EXPECT_EQ(34, KeyboardDrawer::keyRectFor(0x29).getTop());
    EXPECT_EQ(739, KeyboardDrawer::keyRectFor(0x2B).getRight());
    EXPECT_EQ(191, KeyboardDrawer::keyRectFor(0x35).getBottom());
    // Backspace, Tab, Enter, Ctrl, the Shifts, Alt and the space bar.
    for (unsigned code : {0x0Eu, 0x0Fu, 0x1Cu, 0x1Du, 0x2Au, 0x36u, 0x38u, 0x39u, 0x01u, 0x00u})
        EXPECT_FALSE(KeyboardDrawer::keyRectFor(code).isValid()) << code;
}

class KeyboardDrawerTest : public ::testing::Test {
protected:
    // The labels the drawer would paint now, by scan code.
    std::map<unsigned, Label> labels() {
        std::map<unsigned, Label> byCode;
        for (const auto& key : drawer.currentLabels())
            byCode[key.scanCode] = key.label;
        return byCode;
    }
    static std::wstring text(const std::map<unsigned, Label>& all, unsigned code) {
        return all.at(code).text;
    }
    static int kind(const std::map<unsigned, Label>& all, unsigned code) {
        return all.at(code).kind;
    }

    FakeLayouts layouts;
    KeyboardDrawer drawer;
};

TEST_F(KeyboardDrawerTest, LabelsFollowLayoutAndShiftState) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    auto plain = labels();
    ASSERT_EQ(47u, plain.size());
    EXPECT_EQ(L"1", text(plain, 0x02));
    EXPECT_EQ(L"q", text(plain, 0x10));
    EXPECT_EQ(L"\\", text(plain, 0x2B));
    EXPECT_EQ(KeyboardDrawer::Plain, kind(plain, 0x10));

    KeyEvent shift{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shift.shift = true;
    drawer.onKey(shift.make());
    auto shifted = labels();
    EXPECT_EQ(L"!", text(shifted, 0x02));
    EXPECT_EQ(L"Q", text(shifted, 0x10));
    EXPECT_EQ(L"\"", text(shifted, 0x28)) << "shifted, the dead key's key types a quote";
    EXPECT_EQ(KeyboardDrawer::Plain, kind(shifted, 0x28));

    KeyEvent caps{FakeLayouts::kLatin, 0x3A, VK_CAPITAL};
    caps.capsLock = true;
    drawer.onKey(caps.make());
    EXPECT_EQ(L"Q", text(labels(), 0x10));
    EXPECT_EQ(L"1", text(labels(), 0x02));
}

TEST_F(KeyboardDrawerTest, AltGrShowsTheThirdLevelAndItsReleaseBringsTheLettersBack) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    KeyEvent altGr{FakeLayouts::kLatin, 0x38, VK_RMENU};
    altGr.altGr = true;
    drawer.onKey(altGr.make());
    auto third = labels();
    EXPECT_EQ(L"\u20AC", text(third, 0x12));
    EXPECT_EQ(L"@", text(third, 0x10));
    EXPECT_EQ(L"\u00B2", text(third, 0x03));
    EXPECT_EQ(L"", text(third, 0x11)) << "a key without a third level types nothing";
    EXPECT_EQ(KeyboardDrawer::Plain, kind(third, 0x12));

    KeyEvent release{FakeLayouts::kLatin, 0x38, VK_RMENU};
    release.up = true;
    drawer.onKey(release.make());
    EXPECT_EQ(L"e", text(labels(), 0x12));
    EXPECT_EQ(L"2", text(labels(), 0x03));

    KeyEvent cyrillic{FakeLayouts::kCyrillic, 0x38, VK_RMENU};
    cyrillic.altGr = true;
    drawer.onKey(cyrillic.make());
    EXPECT_EQ(L"", text(labels(), 0x12)) << "the Cyrillic layout has no third level";
}

TEST_F(KeyboardDrawerTest, WithCtrlHeldControlCharactersLeaveTheCapsBlank) {
    KeyEvent ctrl{FakeLayouts::kLatin, 0x1D, VK_CONTROL};
    ctrl.ctrl = true;
    EXPECT_TRUE(drawer.onKey(ctrl.make()));
    auto held = labels();
    for (const auto& [scanCode, label] : held)
        for (wchar_t c : label.text)
            EXPECT_TRUE(c >= 0x20 && c != 0x7F) << "scan code " << scanCode << " shows a control";
    EXPECT_EQ(L"", text(held, 0x10)) << "Ctrl+Q";
    EXPECT_EQ(L"", text(held, 0x1A)) << "Ctrl+[";

    KeyEvent release{FakeLayouts::kLatin, 0x1D, VK_CONTROL};
    release.up = true;
    EXPECT_TRUE(drawer.onKey(release.make()));
    EXPECT_EQ(L"q", text(labels(), 0x10));
}

TEST_F(KeyboardDrawerTest, TheThreeKindsOfLabel) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    auto all = labels();
    EXPECT_EQ(std::wstring(1, kAcute), text(all, 0x28));
    EXPECT_EQ(KeyboardDrawer::DeadKey, kind(all, 0x28));
    EXPECT_EQ(L"ij", text(all, 0x0C));
    EXPECT_EQ(KeyboardDrawer::SeveralCharacters, kind(all, 0x0C));
    EXPECT_EQ(L"", text(all, 0x1B)) << "a key that types nothing";
    EXPECT_EQ(KeyboardDrawer::Plain, kind(all, 0x1B));
    EXPECT_EQ(0, layouts.pendingAccent()) << "labelling the dead key leaves no dead key behind";
}

TEST_F(KeyboardDrawerTest, APendingDeadKeyComposesEveryLabelIncludingTheFirst) {
    EXPECT_TRUE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x28}.make()));
    EXPECT_TRUE(drawer.isDeadKeyPending());
    auto all = labels();
    EXPECT_EQ(L"\u00E1", text(all, 0x1E)) << "a";
    EXPECT_EQ(KeyboardDrawer::Plain, kind(all, 0x1E));
    EXPECT_EQ(L"\u00E9", text(all, 0x12)) << "e";
    EXPECT_EQ(L"\u00FD", text(all, 0x15)) << "y";
    EXPECT_EQ(std::wstring(1, kAcute) + L"1", text(all, 0x02)) << "the first key painted";
    EXPECT_EQ(KeyboardDrawer::SeveralCharacters, kind(all, 0x02));
    EXPECT_EQ(std::wstring(1, kAcute) + L"q", text(all, 0x10));
    EXPECT_EQ(std::wstring(1, kAcute) + L"/", text(all, 0x35)) << "the last key painted";
    EXPECT_EQ(std::wstring(2, kAcute), text(all, 0x28));
    EXPECT_EQ(L"", text(all, 0x1B)) << "a key that types nothing stays empty";
    // A second paint sees the same, and no dead key is left over after it.
    EXPECT_EQ(L"\u00E1", text(labels(), 0x1E));
    EXPECT_EQ(std::wstring(1, kAcute) + L"1", text(labels(), 0x02));
    EXPECT_EQ(0, layouts.pendingAccent());

    // The next character consumes the dead key.
    EXPECT_TRUE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make()));
    EXPECT_FALSE(drawer.isDeadKeyPending());
    EXPECT_EQ(L"a", text(labels(), 0x1E));
    EXPECT_EQ(L"1", text(labels(), 0x02));
}

TEST_F(KeyboardDrawerTest, LabelsAreTranslatedAgainOnlyWhenTheirSourceChanged) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    labels();
    int translations = layouts.translations();
    EXPECT_GE(translations, 47);
    labels();
    EXPECT_EQ(translations, layouts.translations()) << "nothing changed";
    // Another letter, same layout and key state: nothing changes either.
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x10}.make());
    translations = layouts.translations();
    labels();
    EXPECT_EQ(translations, layouts.translations());

    KeyEvent shift{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shift.shift = true;
    drawer.onKey(shift.make());
    EXPECT_EQ(L"Q", text(labels(), 0x10));
    EXPECT_GT(layouts.translations(), translations);
    // Back to a state seen before: its labels are known.
    KeyEvent release{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    release.up = true;
    drawer.onKey(release.make());
    translations = layouts.translations();
    EXPECT_EQ(L"q", text(labels(), 0x10));
    EXPECT_EQ(translations, layouts.translations());
    drawer.onKey(shift.make());
    translations = layouts.translations();
    EXPECT_EQ(L"Q", text(labels(), 0x10));
    EXPECT_EQ(translations, layouts.translations());

    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x28}.make());
    EXPECT_EQ(L"\u00E1", text(labels(), 0x1E)) << "the dead key pending, Shift released";
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    EXPECT_EQ(L"a", text(labels(), 0x1E));
}

TEST_F(KeyboardDrawerTest, ALeftoverDeadKeyOnThePaintingThreadDoesNotLeakIntoTheLabels) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    // Something else on this thread left a dead key in its state.
    wchar_t buffer[8];
    KeyEvent{FakeLayouts::kLatin, 0x28}.make().toUnicode(buffer, 8);
    ASSERT_EQ(kAcute, layouts.pendingAccent());
    auto all = labels();
    EXPECT_EQ(L"1", text(all, 0x02));
    EXPECT_EQ(L"a", text(all, 0x1E));
}

TEST_F(KeyboardDrawerTest, DeadKeyTypedOnAnotherThreadIsShownOnThisOne) {
    struct Typing {
        static DWORD WINAPI run(void* context) {
            auto* drawer = static_cast<KeyboardDrawer*>(context);
            drawer->onKey(KeyEvent{FakeLayouts::kLatin, 0x28}.make());
            KeyEvent release{FakeLayouts::kLatin, 0x28};
            release.up = true;
            drawer->onKey(release.make());
            return 0;
        }
    };
    utils::UniqueHandle thread(::CreateThread(nullptr, 0, &Typing::run, &drawer, 0, nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.get(), 5000));
    EXPECT_TRUE(drawer.isDeadKeyPending()) << "releasing the dead key leaves it pending";
    EXPECT_EQ(L"\u00F3", text(labels(), 0x18)) << "o";
}

TEST_F(KeyboardDrawerTest, RepaintsForModifierPressesAndReleasesButNotTheirRepeats) {
    KeyEvent shiftDown{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shiftDown.shift = true;
    EXPECT_TRUE(drawer.onKey(shiftDown.make()));
    KeyEvent shiftRepeat = shiftDown;
    shiftRepeat.repeat = true;
    EXPECT_FALSE(drawer.onKey(shiftRepeat.make()));
    EXPECT_FALSE(drawer.onKey(shiftRepeat.make()));
    KeyEvent shiftUp{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shiftUp.up = true;
    EXPECT_TRUE(drawer.onKey(shiftUp.make()));
    EXPECT_EQ(L"q", text(labels(), 0x10)) << "the release's record shows Shift up";

    for (UINT modifier : {VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL})
        EXPECT_TRUE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0, modifier}.make())) << modifier;
    // Side-specific codes are not modifiers here.
    EXPECT_FALSE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x2A, VK_LSHIFT}.make()));
}

TEST_F(KeyboardDrawerTest, TypingLettersDoesNotRepaint) {
    for (unsigned code : {0x10u, 0x1Eu, 0x2Cu, 0x02u, 0x39u}) {
        KeyEvent press{FakeLayouts::kLatin, code};
        EXPECT_FALSE(drawer.onKey(press.make())) << code;
        press.up = true;
        EXPECT_FALSE(drawer.onKey(press.make())) << code;
        press.up = false;
        press.repeat = true;
        EXPECT_FALSE(drawer.onKey(press.make())) << code;
    }
}

TEST_F(KeyboardDrawerTest, RepaintsWhenADeadKeyBecomesPendingAndWhenItIsConsumed) {
    EXPECT_TRUE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x28}.make()));
    KeyEvent release{FakeLayouts::kLatin, 0x28};
    release.up = true;
    EXPECT_FALSE(drawer.onKey(release.make()));
    EXPECT_TRUE(drawer.isDeadKeyPending());
    // Keys that type nothing leave it pending.
    EXPECT_FALSE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1B}.make()));
    KeyEvent shift{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shift.shift = true;
    EXPECT_TRUE(drawer.onKey(shift.make())) << "a modifier repaints, the dead key stays";
    EXPECT_TRUE(drawer.isDeadKeyPending());
    EXPECT_EQ(L"\u00C1", text(labels(), 0x1E)) << "shifted a with the accent";
    // A character consumes it.
    EXPECT_TRUE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x10}.make()));
    EXPECT_FALSE(drawer.isDeadKeyPending());
    EXPECT_FALSE(drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x10}.make()));
}

TEST_F(KeyboardDrawerTest, ANewLayoutKeepsTheModifierStateOfTheLastEvent) {
    KeyEvent shift{FakeLayouts::kLatin, 0x2A, VK_SHIFT};
    shift.shift = true;
    drawer.onKey(shift.make());
    KeyInfoWrapper relabel = drawer.getLastEvent();
    relabel.setKeyboardLayout(FakeLayouts::kCyrillic);
    drawer.onKey(relabel);
    auto all = labels();
    EXPECT_EQ(L"\u0419", text(all, 0x10)) << "shifted short i";
    EXPECT_EQ(L"\"", text(all, 0x03));
    EXPECT_EQ(L"\u042D", text(all, 0x28)) << "no dead key in this layout";
    EXPECT_EQ(FakeLayouts::kCyrillic, drawer.getLastEvent().keyboardLayout());
}

// Paints onto a plain background and looks at the pixels.
class KeyboardDrawerPaint : public KeyboardDrawerTest {
protected:
    static constexpr COLORREF kBackground = RGB(90, 120, 150);
    void SetUp() override {
        HDC screen = ::GetDC(nullptr);
        dc.reset(::CreateCompatibleDC(screen));
        picture.reset(::CreateCompatibleBitmap(screen, kWidth, kHeight));
        ::ReleaseDC(nullptr, screen);
        previous = ::SelectObject(dc.get(), picture.get());
        RECT all = {0, 0, kWidth, kHeight};
        utils::UniqueBrush brush(::CreateSolidBrush(kBackground));
        ::FillRect(dc.get(), &all, brush.get());
    }
    void TearDown() override { ::SelectObject(dc.get(), previous); }

    // How many pixels of the colour the rectangle holds (edges inclusive).
    int count(const utils::Rect& area, COLORREF colour) {
        int found = 0;
        for (int y = area.getTop(); y <= area.getBottom(); ++y)
            for (int x = area.getLeft(); x <= area.getRight(); ++x)
                if (::GetPixel(dc.get(), x, y) == colour)
                    ++found;
        return found;
    }
    int countOther(const utils::Rect& area) {
        int area_size =
            (area.getRight() - area.getLeft() + 1) * (area.getBottom() - area.getTop() + 1);
        return area_size - count(area, kBackground);
    }

    static constexpr int kWidth = 754;
    static constexpr int kHeight = 246;
    utils::UniqueMemoryDc dc;
    utils::UniqueBitmap picture;
    HGDIOBJ previous = nullptr;
};

TEST_F(KeyboardDrawerPaint, EachKindHasItsColourAndAWhiteShadow) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    drawer.draw(dc.get());
    const COLORREF black = RGB(0, 0, 0), magenta = RGB(255, 0, 255), grey = RGB(170, 170, 170),
                   white = RGB(255, 255, 255);
    KeyRect plain = KeyboardDrawer::keyRectFor(0x10);
    EXPECT_GT(count(plain, black), 10);
    EXPECT_GT(count(plain, white), 5);
    EXPECT_EQ(0, count(plain, magenta));
    KeyRect dead = KeyboardDrawer::keyRectFor(0x28);
    EXPECT_GT(count(dead, magenta), 3);
    EXPECT_EQ(0, count(dead, black));
    KeyRect several = KeyboardDrawer::keyRectFor(0x0C);
    EXPECT_GT(count(several, grey), 5);
    EXPECT_EQ(0, count(several, black));
    EXPECT_EQ(0, countOther(KeyboardDrawer::keyRectFor(0x1B))) << "an empty label paints nothing";
}

TEST_F(KeyboardDrawerPaint, NothingIsPaintedOutsideTheKeys) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x1E}.make());
    drawer.draw(dc.get());
    EXPECT_EQ(0, countOther(utils::Rect(0, 0, kWidth - 1, 33)));
    EXPECT_EQ(0, countOther(utils::Rect(0, 0, 13, kHeight - 1)));
    EXPECT_EQ(0, countOther(utils::Rect(0, 193, kWidth - 1, kHeight - 1)));
    EXPECT_EQ(0, countOther(utils::Rect(741, 0, kWidth - 1, kHeight - 1)));
    // The gap between two cells of a row.
    EXPECT_EQ(0, countOther(utils::Rect(61, 34, 63, 71)));
}

TEST_F(KeyboardDrawerPaint, ADeadKeyTurnsTheOtherLabelsGrey) {
    drawer.onKey(KeyEvent{FakeLayouts::kLatin, 0x28}.make());
    drawer.draw(dc.get());
    EXPECT_GT(count(KeyboardDrawer::keyRectFor(0x10), RGB(170, 170, 170)), 5) << "accent + q";
    EXPECT_GT(count(KeyboardDrawer::keyRectFor(0x1E), RGB(0, 0, 0)), 5) << "a with acute";
}

} // namespace
} // namespace keywhirl
