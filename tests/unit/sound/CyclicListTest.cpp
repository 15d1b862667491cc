// tests/unit/sound/CyclicListTest.cpp
#include "utils/CyclicList.h"

#include <gtest/gtest.h>

#include <vector>

namespace keywhirl::utils {
namespace {

// Counts the values alive, so ownership shows.
struct Tracked {
    explicit Tracked(int id) : id(id) { ++alive; }
    ~Tracked() { --alive; }
    int id;
    static int alive;
};
int Tracked::alive = 0;

class CyclicListTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::alive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::alive, 0); }

    static void fill(CyclicList<Tracked>& ring, int count) {
        for (int id = 1; id <= count; ++id)
            ring.add(new Tracked(id));
    }
    // The ids met by stepping from the current value, steps times.
    static std::vector<int> walk(CyclicList<Tracked>& ring, int steps) {
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            ids.push_back(ring.current().id);
            ring.next();
        }
        return ids;
    }
};

TEST_F(CyclicListTest, TenValuesAddedInOrderStartWithTheTenthThenTheFirst) {
    CyclicList<Tracked> ring;
    fill(ring, 10);
    EXPECT_EQ(walk(ring, 21),
              (std::vector<int>{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(CyclicListTest, AddLinksInRightAfterTheCurrentValue) {
    CyclicList<Tracked> ring;
    fill(ring, 3); // 1 2 3, current 3
    ring.next();   // current 1
    ring.add(new Tracked(4));
    EXPECT_EQ(walk(ring, 5), (std::vector<int>{4, 2, 3, 1, 4}));
}

TEST_F(CyclicListTest, RingOfOne) {
    CyclicList<Tracked> ring;
    EXPECT_TRUE(ring.empty());
    ring.add(new Tracked(7));
    EXPECT_FALSE(ring.empty());
    EXPECT_EQ(walk(ring, 3), (std::vector<int>{7, 7, 7}));
    ring.removeCurrent();
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(Tracked::alive, 0);
    ring.removeCurrent(); // harmless on an empty ring
    ring.add(new Tracked(8));
    EXPECT_EQ(ring.current().id, 8);
}

TEST_F(CyclicListTest, RemoveCurrentDeletesItAndClosesTheGap) {
    CyclicList<Tracked> ring;
    fill(ring, 4); // current 4, then 1 2 3
    ring.next();   // 1
    ring.removeCurrent();
    EXPECT_EQ(Tracked::alive, 3);
    EXPECT_EQ(ring.current().id, 2);
    // Both directions stay linked: removing 2 leaves 4 before 3.
    ring.removeCurrent();
    EXPECT_EQ(walk(ring, 3), (std::vector<int>{3, 4, 3}));
    ring.removeCurrent();
    ring.removeCurrent();
    EXPECT_TRUE(ring.empty());
}

TEST_F(CyclicListTest, ClearAndDestructorDeleteEveryValue) {
    {
        CyclicList<Tracked> ring;
        fill(ring, 10);
        EXPECT_EQ(Tracked::alive, 10);
        ring.clear();
        EXPECT_TRUE(ring.empty());
        EXPECT_EQ(Tracked::alive, 0);
        ring.clear();
        fill(ring, 5);
        ring.next();
        ring.next();
    }
    EXPECT_EQ(Tracked::alive, 0);
}

} // namespace
} // namespace keywhirl::utils
