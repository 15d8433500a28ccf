#include "engine/PositionHistory.h"

#include <gtest/gtest.h>

namespace {

TPosition at(int page, double top = 0, double left = 0) { return {page, top, left}; }

bool store(TPositionHistory &h, const TPosition &p) { return h.Store(p, 10, 10); }

} // namespace

TEST(PositionHistory, TheSamePlaceTwiceInARowIsStoredOnce)
{
    TPositionHistory h;
    EXPECT_TRUE(store(h, at(3, 100, 0)));
    EXPECT_FALSE(store(h, at(3, 108, 9)));
    EXPECT_EQ(h.CPos, 1);
    EXPECT_TRUE(store(h, at(3, 111, 0))) << "beyond the tolerance down";
    EXPECT_TRUE(store(h, at(4, 111, 0))) << "another page";
    EXPECT_TRUE(h.CanStore(at(5), 10, 10));
    EXPECT_EQ(h.CPos, 3) << "a test stores nothing";
    EXPECT_EQ(h.Positions[h.CPos].cp, 0) << "the slot after the newest is empty";
}

TEST(PositionHistory, BackOnAnEmptyHistoryAndForwardAfterAStoreAreDisabled)
{
    TPositionHistory h;
    EXPECT_FALSE(h.CanBack(at(1)));
    store(h, at(1));
    EXPECT_FALSE(h.CanForward(at(2)));
    EXPECT_FALSE(h.CanBack(at(1))) << "the only entry is where the view is";
    EXPECT_TRUE(h.CanBack(at(2)));
}

TEST(PositionHistory, BackThenForwardReturnsToAPlaceThatWasNeverStored)
{
    TPositionHistory h;
    store(h, at(1));
    store(h, at(5));
    TPosition target;
    ASSERT_TRUE(h.Back(at(9, 42, 7), target));
    EXPECT_EQ(target.cp, 5);
    ASSERT_TRUE(h.Back(at(5), target));
    EXPECT_EQ(target.cp, 1);
    EXPECT_FALSE(h.CanBack(at(1)));
    ASSERT_TRUE(h.Forward(at(1), target));
    EXPECT_EQ(target.cp, 5);
    ASSERT_TRUE(h.Forward(at(5), target));
    EXPECT_EQ(target.cp, 9);
    EXPECT_EQ(target.Top, 42);
    EXPECT_EQ(target.Left, 7);
    EXPECT_FALSE(h.CanForward(at(9, 42, 7)));
}

TEST(PositionHistory, AStoreAfterBackEndsTheForwardChain)
{
    TPositionHistory h;
    for (int p : {1, 2, 3, 4})
        store(h, at(p));
    TPosition target;
    ASSERT_TRUE(h.Back(at(4), target));
    ASSERT_TRUE(h.Back(at(3), target));
    EXPECT_EQ(target.cp, 2);
    store(h, at(2, 500));
    store(h, at(7));
    EXPECT_FALSE(h.CanForward(at(7)));
    ASSERT_TRUE(h.Back(at(7), target));
    EXPECT_EQ(target.cp, 2);
    EXPECT_EQ(target.Top, 500);
}

TEST(PositionHistory, AfterAHundredStoresBackWalksThroughTheLastNinetyNine)
{
    TPositionHistory h;
    for (int p = 1; p <= 100; ++p)
        ASSERT_TRUE(store(h, at(p)));
    TPosition current = at(100);
    std::vector<int> visited;
    TPosition target;
    while (h.Back(current, target)) {
        visited.push_back(target.cp);
        current = target;
        ASSERT_LE(visited.size(), 100u);
    }
    ASSERT_EQ(visited.size(), 98u);
    EXPECT_EQ(visited.front(), 99);
    EXPECT_EQ(visited.back(), 2) << "the oldest store was overwritten by the cleared slot";
    int forward = 0;
    while (h.Forward(current, target)) {
        current = target;
        ++forward;
    }
    EXPECT_EQ(forward, 98);
    EXPECT_EQ(current.cp, 100);
}

TEST(PositionHistory, AHistoryOfOnePlaceEverywhereFailsAfterAFullTurn)
{
    TPositionHistory h;
    h.Positions.fill(at(4, 10, 10));
    TPosition target;
    EXPECT_FALSE(h.CanBack(at(4, 10, 10)));
    EXPECT_FALSE(h.CanForward(at(4, 10, 10)));
    EXPECT_FALSE(h.Back(at(4, 10, 10), target));
    EXPECT_FALSE(h.Forward(at(4, 10, 10), target));
}
