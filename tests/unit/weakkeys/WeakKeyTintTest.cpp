// tests/unit/weakkeys/WeakKeyTintTest.cpp - how warm each key is painted, and what its tooltip
// says.
#include "weakkeys/WeakKeyTint.h"

#include "localization/ResourceBundle.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

WeakKeyRecorder::KeyCounts countsOf(unsigned presses, unsigned hesitations) {
    WeakKeyRecorder::KeyCounts counts;
    counts.presses = presses;
    counts.hesitations = hesitations;
    return counts;
}

struct Record {
    std::atomic<unsigned> wait{3000};
    WeakKeyRecorder recorder{&wait};
    void set(unsigned scanCode, unsigned presses, unsigned hesitations) {
        recorder.setCounts(WeakKeyRecorder::keyIndex(scanCode, false),
                           countsOf(presses, hesitations));
    }
};

TEST(WeakKeyTint, TheKeyWithTheHighestShareIsTheWarmestAndUntroubledKeysStayNeutral) {
    Record r;
    r.set(0x24, 40, 12); // J: far ahead
    r.set(0x1E, 400, 8); // A: many presses, few hesitations
    r.set(0x10, 2, 1);   // Q: one of two, damped by the few presses
    r.set(0x11, 90, 0);  // W: never
    // The extended twin of J shares its scan code but is another key.
    r.recorder.setCounts(WeakKeyRecorder::keyIndex(0x24, true), countsOf(1, 1));
    std::vector<int> levels = WeakKeyTint::levels(r.recorder, {0x24, 0x1E, 0x10, 0x11, 0x12});
    ASSERT_EQ(levels.size(), 5u);
    EXPECT_EQ(levels[0], WeakKeyTint::kFullLevel);
    EXPECT_GT(levels[0], levels[2]);
    EXPECT_GT(levels[2], levels[1]);
    EXPECT_GT(levels[1], 0) << "any hesitation shows";
    EXPECT_EQ(levels[3], 0);
    EXPECT_EQ(levels[4], 0) << "never pressed";
}

TEST(WeakKeyTint, FewHesitationsInAllPaintEveryCellPale) {
    Record r;
    r.set(0x24, 1000, 1); // a share of about 0.1 %
    std::vector<int> levels = WeakKeyTint::levels(r.recorder, {0x24});
    EXPECT_GT(levels[0], 0);
    EXPECT_LT(levels[0], WeakKeyTint::kFullLevel / 10);
    EXPECT_EQ(WeakKeyTint::levels(Record().recorder, {0x24, 0x25}), (std::vector<int>{0, 0}));
    EXPECT_DOUBLE_EQ(WeakKeyTint::share(countsOf(0, 0)), 0.0);
    EXPECT_GT(WeakKeyTint::share(countsOf(0, 3)), 0.0) << "a loaded file may hold this";
}

TEST(WeakKeyTint, BlendRunsFromTheKeyFaceToTheWarmColour) {
    const COLORREF face = RGB(240, 241, 244);
    EXPECT_EQ(WeakKeyTint::blend(face, 0), face);
    EXPECT_EQ(WeakKeyTint::blend(face, WeakKeyTint::kFullLevel), WeakKeyTint::kWarmest);
    EXPECT_EQ(WeakKeyTint::blend(face, 1000), WeakKeyTint::kWarmest);
    EXPECT_EQ(WeakKeyTint::blend(face, -5), face);
    COLORREF half = WeakKeyTint::blend(face, 128);
    EXPECT_EQ(GetRValue(half), 248);
    EXPECT_NEAR(GetGValue(half), (241 + 150) / 2, 1);
    EXPECT_NEAR(GetBValue(half), (244 + 80) / 2, 1);
}

TEST(WeakKeyTint, EveryLabelKindStaysReadableOnEveryTint) {
    EXPECT_NEAR(WeakKeyTint::contrast(RGB(0, 0, 0), RGB(255, 255, 255)), 21.0, 0.01);
    EXPECT_NEAR(WeakKeyTint::contrast(RGB(10, 20, 30), RGB(10, 20, 30)), 1.0, 1e-9);
    for (COLORREF face : {RGB(250, 251, 252), RGB(226, 230, 237)}) {
        for (int level = 0; level <= WeakKeyTint::kFullLevel; level += 5) {
            COLORREF cell = WeakKeyTint::blend(face, level);
            for (int kind = 0; kind < 3; ++kind)
                EXPECT_GE(WeakKeyTint::contrast(WeakKeyTint::labelColour(kind), cell), 4.5)
                    << "kind " << kind << " at level " << level;
        }
    }
}

TEST(WeakKeyTint, TheTooltipSaysPressesHesitationsAndLeadTime) {
    ResourceBundle texts;
    texts.setString(L"tooltip.presses", L"Presses: ");
    texts.setString(L"tooltip.hesitations", L"After a hesitation: ");
    texts.setString(L"tooltip.leadTime", L"Usual lead time: ");
    texts.setString(L"tooltip.ms", L" ms");
    texts.setString(L"tooltip.noLeadTime", L"not measured yet");
    WeakKeyRecorder::KeyCounts counts = countsOf(120, 7);
    counts.hasLeadTime = true;
    counts.leadTime = 612.5f;
    EXPECT_EQ(WeakKeyTint::tooltipText(counts, texts),
              L"Presses: 120\r\nAfter a hesitation: 7\r\nUsual lead time: 613 ms");
    EXPECT_EQ(WeakKeyTint::tooltipText(countsOf(1, 0), texts),
              L"Presses: 1\r\nAfter a hesitation: 0\r\nUsual lead time: not measured yet");
    EXPECT_EQ(WeakKeyTint::tooltipText(countsOf(3, 1), ResourceBundle()), L"3\r\n1\r\n")
        << "a language without the texts still gives the numbers";
}

} // namespace
} // namespace keywhirl
