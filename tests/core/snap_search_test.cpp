#include <gtest/gtest.h>

#include "interaction/snap_search.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

BrickUnit unitAt(int32_t x, int32_t y) {
    BrickUnit unit;
    unit.x = x;
    unit.y = y;
    return unit;
}

TEST(UnitGeometry, TouchingOverlapsAndOnePixelApartDoesNot) {
    const BrickUnit b = unitAt(100, 100);
    struct Case {
        int32_t dx, dy;
        bool overlap;
    };
    for (Case c : {Case{15, 0, true}, Case{16, 0, false}, Case{-15, 0, true}, Case{-16, 0, false},
                   Case{0, 18, true}, Case{0, 19, false}, Case{0, -18, true}, Case{0, -19, false},
                   Case{15, 18, true}, Case{0, 0, true}}) {
        const BrickUnit a = unitAt(100 + c.dx, 100 + c.dy);
        EXPECT_EQ(unitsOverlap(a, b), c.overlap) << c.dx << ", " << c.dy;
        EXPECT_EQ(unitsOverlap(b, a), c.overlap) << c.dx << ", " << c.dy;
    }
}

TEST(UnitGeometry, StudsAlignBetween19And32DownAndWithin7Across) {
    struct Case {
        int32_t dx, gap;
        bool aligns;
    };
    for (Case c : {Case{0, 18, false}, Case{0, 19, true}, Case{0, 32, true}, Case{0, 33, false},
                   Case{7, 25, true}, Case{-7, 25, true}, Case{8, 25, false}, Case{-8, 25, false}}) {
        // Near the origin and far off any screen, resting on and hanging under.
        for (int32_t origin : {300, -1000000, 1000000}) {
            const BrickUnit target = unitAt(origin, origin);
            EXPECT_EQ(studsAlign(unitAt(origin + c.dx, origin - c.gap), target), c.aligns) << c.dx << " " << c.gap;
            EXPECT_EQ(studsAlign(unitAt(origin + c.dx, origin + c.gap), target), c.aligns) << c.dx << " " << c.gap;
        }
    }
}

TEST(UnitGeometry, ALinkOnOneSideOnlyBlocksThatSide) {
    BrickUnit other;
    const BrickUnit target = unitAt(100, 100);
    BrickUnit resting = unitAt(100, 75);
    resting.below = &other;
    EXPECT_FALSE(studsAlign(resting, target));
    resting.below = nullptr;
    resting.above = &other;
    EXPECT_TRUE(studsAlign(resting, target));
    BrickUnit hanging = unitAt(100, 125);
    hanging.above = &other;
    EXPECT_FALSE(studsAlign(hanging, target));
}

class SnapSearch : public ::testing::Test {
protected:
    TestWorld world;
};

// A held two-stud brick over a free four-stud brick, studs 3 pixels off.
TEST_F(SnapSearch, WorkedExamplePairsBothStudsAndPreviewsAt178) {
    auto free = world.brick(4, 145, 200);  // F0..F3 at 100..145; World order F3..F0
    auto held = world.brick(2, 133, 172);  // H0 at 118, H1 at 133
    held[0]->setGroupMark(1);
    EXPECT_FALSE(groupOverlapsFree(*held[0]));
    held[0]->setGroupMark(0);

    EXPECT_EQ(snapSearch(*held[0]), free[1]);
    EXPECT_EQ(snapHeld, held[0]);
    EXPECT_EQ(held[0]->pendingBelow, free[1]);
    EXPECT_EQ(held[1]->pendingBelow, free[2]);
    EXPECT_EQ(held[0]->pendingAbove, nullptr);
    EXPECT_EQ(std::make_pair(held[0]->drawX, held[0]->drawY), std::make_pair(115, 178));
    EXPECT_EQ(std::make_pair(held[1]->drawX, held[1]->drawY), std::make_pair(130, 178));
    EXPECT_EQ(std::make_pair(held[0]->x, held[0]->y), std::make_pair(118, 172)) << "logical stays";
    EXPECT_TRUE(allMarksZero());
}

TEST_F(SnapSearch, PreviewIsTruncatedTowardZero) {
    struct Case {
        int32_t targetY, heldY, previewY;
    };
    for (Case c : {Case{100, 75, 78}, Case{100, 125, 121}, Case{10, -15, -11}}) {
        TestWorld local;
        local.unit(50, c.targetY);
        BrickUnit& held = local.unit(52, c.heldY);
        ASSERT_NE(snapSearch(held), nullptr);
        EXPECT_EQ(std::make_pair(held.drawX, held.drawY), std::make_pair(50, c.previewY)) << c.targetY;
    }
}

TEST_F(SnapSearch, FirstFitWinsAndOnlyItsGroupIsPaired) {
    BrickUnit& first = world.unit(100, 200);
    world.unit(101, 200);  // fits the same held unit, later in the World
    BrickUnit& otherGroup = world.unit(115, 200);
    auto held = world.brick(2, 115, 175);  // H0 over `first`, H1 over `otherGroup`
    EXPECT_EQ(snapSearch(*held[1]), &otherGroup) << "the grabbed unit is tried first";
    EXPECT_EQ(snapSearch(*held[0]), &first);
    EXPECT_EQ(held[0]->pendingBelow, &first);
    EXPECT_EQ(held[1]->pendingBelow, nullptr);
}

TEST_F(SnapSearch, OneHeldUnitMayPairAboveAndBelow) {
    BrickUnit& top = world.unit(100, 100);
    BrickUnit& bottom = world.unit(100, 154);
    BrickUnit& held = world.unit(100, 127);
    BrickUnit& elsewhere = world.unit(200, 200);  // ties top and bottom into one group
    stack(top, elsewhere);
    stack(elsewhere, bottom);
    EXPECT_EQ(snapSearch(held), &top);
    EXPECT_EQ(held.pendingAbove, &top);
    EXPECT_EQ(held.pendingBelow, &bottom);
}

TEST_F(SnapSearch, FailedSearchKeepsTheOldPairButClearsPendingLinks) {
    BrickUnit& target = world.unit(100, 200);
    BrickUnit& held = world.unit(100, 175);
    ASSERT_EQ(snapSearch(held), &target);
    held.x = 500;
    EXPECT_EQ(snapSearch(held), nullptr);
    EXPECT_EQ(std::make_pair(snapHeld, snapTarget), std::make_pair(&held, &target));
    EXPECT_EQ(held.pendingBelow, nullptr);
    EXPECT_TRUE(allMarksZero());
}

}  // namespace
