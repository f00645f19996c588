#include <gtest/gtest.h>

#include "interaction/snap_search.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

class SnapSearch : public ::testing::Test {
protected:
    TestWorld world;
};

struct OverlapCase {
    int32_t dx, dy;
    bool overlap;
};

class Overlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(Overlap, TouchingCountsAndOnePixelApartDoesNot) {
    BrickUnit a;
    BrickUnit b;
    b.x = 100;
    b.y = 100;
    a.x = b.x + GetParam().dx;
    a.y = b.y + GetParam().dy;
    EXPECT_EQ(unitsOverlap(a, b), GetParam().overlap);
    EXPECT_EQ(unitsOverlap(b, a), GetParam().overlap);
}

INSTANTIATE_TEST_SUITE_P(Distances, Overlap,
                         ::testing::Values(OverlapCase{15, 0, true}, OverlapCase{16, 0, false},
                                           OverlapCase{-15, 0, true}, OverlapCase{-16, 0, false},
                                           OverlapCase{0, 18, true}, OverlapCase{0, 19, false},
                                           OverlapCase{0, -18, true}, OverlapCase{0, -19, false},
                                           OverlapCase{15, 18, true}, OverlapCase{0, 0, true}));

struct AlignCase {
    int32_t dx;     // held x minus target x
    int32_t drop;   // target y minus held y: positive means the held unit is higher
    bool aligns;
};

class Alignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(Alignment, RestingAndHangingBounds) {
    const AlignCase& c = GetParam();
    BrickUnit held;
    BrickUnit target;
    target.x = 300;
    target.y = 300;
    held.x = target.x + c.dx;
    held.y = target.y - c.drop;
    EXPECT_EQ(studsAlign(held, target), c.aligns) << "resting";
    // The mirror: the held unit hangs the same distance under the target.
    held.y = target.y + c.drop;
    EXPECT_EQ(studsAlign(held, target), c.aligns) << "hanging";
}

INSTANTIATE_TEST_SUITE_P(Bounds, Alignment,
                         ::testing::Values(AlignCase{0, 18, false}, AlignCase{0, 19, true}, AlignCase{0, 32, true},
                                           AlignCase{0, 33, false}, AlignCase{7, 25, true},
                                           AlignCase{-7, 25, true}, AlignCase{8, 25, false},
                                           AlignCase{-8, 25, false}, AlignCase{0, 0, false}));

TEST(AlignmentLinks, ExistingLinksOfTheHeldUnitBlockThatSide) {
    BrickUnit held;
    BrickUnit target;
    BrickUnit other;
    target.y = 100;
    held.y = 75;  // 25 above: would rest on target
    held.below = &other;
    EXPECT_FALSE(studsAlign(held, target));
    held.below = nullptr;
    held.above = &other;
    EXPECT_TRUE(studsAlign(held, target)) << "an above link does not stop resting";
    held.y = 125;
    EXPECT_FALSE(studsAlign(held, target)) << "an above link stops hanging";
}

TEST(AlignmentColumns, SinglePrecisionComparisonFarOffScreen) {
    BrickUnit held;
    BrickUnit target;
    target.x = 1000000;
    target.y = -1000000;
    held.x = 1000007;
    held.y = -1000025;
    EXPECT_TRUE(studsAlign(held, target));
    held.x = 1000008;
    EXPECT_FALSE(studsAlign(held, target));
}

// The worked example: a held two-stud brick above a free four-stud brick.
TEST_F(SnapSearch, WorkedExamplePairsBothStudsAndPreviewsAt178) {
    auto free = world.brick(4, 145, 200);  // left to right F0..F3 at 100..145, World order F3..F0
    auto held = world.brick(2, 133, 172);  // H0 at 118, H1 at 133
    BrickUnit* h0 = held[0];
    BrickUnit* h1 = held[1];

    h0->setGroupMark(1);
    EXPECT_FALSE(groupOverlapsFree(*h0));
    h0->setGroupMark(0);

    EXPECT_EQ(snapSearch(*h0), free[1]);
    EXPECT_EQ(snapHeld, h0);
    EXPECT_EQ(snapTarget, free[1]);
    EXPECT_EQ(h0->pendingBelow, free[1]);
    EXPECT_EQ(h1->pendingBelow, free[2]);
    EXPECT_EQ(h0->pendingAbove, nullptr);
    EXPECT_EQ(h1->pendingAbove, nullptr);
    EXPECT_EQ(h0->drawX, 115);
    EXPECT_EQ(h0->drawY, 178);
    EXPECT_EQ(h1->drawX, 130);
    EXPECT_EQ(h1->drawY, 178);
    EXPECT_EQ(h0->x, 118) << "logical position stays at the pointer";
    EXPECT_EQ(h0->y, 172);
    EXPECT_TRUE(allMarksZero());
}

TEST_F(SnapSearch, PreviewTruncatesTowardZero) {
    struct Case {
        int32_t targetY, heldY, previewY;
    };
    for (Case c : {Case{100, 75, 78}, Case{100, 125, 121}, Case{10, -15, -11}}) {
        TestWorld local;
        local.unit(50, c.targetY);
        BrickUnit& held = local.unit(52, c.heldY);
        ASSERT_NE(snapSearch(held), nullptr);
        EXPECT_EQ(held.drawY, c.previewY) << "target " << c.targetY;
        EXPECT_EQ(held.drawX, 50);
    }
}

TEST_F(SnapSearch, FirstWorldIndexWinsAmongFreeUnits) {
    BrickUnit& first = world.unit(100, 200);
    world.unit(102, 200);
    BrickUnit& held = world.unit(101, 175);
    EXPECT_EQ(snapSearch(held), &first);
}

TEST_F(SnapSearch, OnlyTheTargetGroupIsPaired) {
    BrickUnit& groupA = world.unit(100, 200);
    BrickUnit& groupB = world.unit(115, 200);
    auto held = world.brick(2, 115, 175);  // H0 over A, H1 over B
    EXPECT_EQ(snapSearch(*held[0]), &groupA);
    EXPECT_EQ(held[0]->pendingBelow, &groupA);
    EXPECT_EQ(held[1]->pendingBelow, nullptr);
    (void)groupB;
}

TEST_F(SnapSearch, HeldUnitsAreTriedDepthFirstFromTheGrabbedUnit) {
    BrickUnit& underLeft = world.unit(100, 200);
    BrickUnit& underRight = world.unit(115, 200);
    auto held = world.brick(2, 115, 175);
    EXPECT_EQ(snapSearch(*held[1]), &underRight) << "the grabbed unit itself is tried first";
    EXPECT_EQ(snapHeld, held[1]);
    (void)underLeft;
}

TEST_F(SnapSearch, FailedSearchKeepsThePairButClearsPendingLinks) {
    BrickUnit& target = world.unit(100, 200);
    BrickUnit& held = world.unit(100, 175);
    ASSERT_EQ(snapSearch(held), &target);
    held.x = 500;
    EXPECT_EQ(snapSearch(held), nullptr);
    EXPECT_EQ(snapHeld, &held);
    EXPECT_EQ(snapTarget, &target);
    EXPECT_EQ(held.pendingBelow, nullptr);
    EXPECT_TRUE(allMarksZero());
}

TEST_F(SnapSearch, OneHeldUnitMayPairAboveAndBelow) {
    BrickUnit& top = world.unit(100, 100);
    BrickUnit& bottom = world.unit(100, 154);
    BrickUnit& held = world.unit(100, 127);
    // One target group: top and bottom tied together through a unit elsewhere.
    BrickUnit& column = world.unit(200, 200);
    stack(top, column);
    stack(column, bottom);
    EXPECT_NE(snapSearch(held), nullptr);
    EXPECT_EQ(held.pendingAbove, &top);
    EXPECT_EQ(held.pendingBelow, &bottom);
}

TEST_F(SnapSearch, WorldOfOnlyTheHeldGroupFindsNothing) {
    auto held = world.brick(4, 100, 100);
    EXPECT_EQ(snapSearch(*held[0]), nullptr);
    EXPECT_TRUE(allMarksZero());
}

}  // namespace
