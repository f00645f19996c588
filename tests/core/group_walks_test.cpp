#include <gtest/gtest.h>

#include "recording_host.h"
#include "world/world.h"

namespace {

class GroupWalks : public ::testing::Test {
protected:
    TestWorld world;
};

TEST_F(GroupWalks, SetGroupMarkStopsAtAUnitThatAlreadyHoldsTheValue) {
    auto brick = world.brick(4, 100, 100);
    for (BrickUnit* unit : brick) unit->mark = 1;
    brick[1]->mark = 0;
    brick[1]->setGroupMark(0);
    EXPECT_EQ(brick[0]->mark, 1);
    EXPECT_EQ(brick[2]->mark, 1);

    brick[2]->setGroupMark(0);  // passes brick[1] (already 0) and stops there
    EXPECT_EQ(brick[0]->mark, 1);
    EXPECT_EQ(brick[3]->mark, 0);
}

TEST_F(GroupWalks, SetGroupMarkCoversTheWholeGroupAndNothingElse) {
    auto lower = world.brick(2, 100, 100);
    BrickUnit& upper = world.unit(100, 82);
    BrickUnit& stranger = world.unit(300, 300);
    stack(upper, *lower[1]);

    upper.setGroupMark(3);
    EXPECT_EQ(lower[0]->mark, 3);
    EXPECT_EQ(lower[1]->mark, 3);
    EXPECT_EQ(upper.mark, 3);
    EXPECT_EQ(stranger.mark, 0);

    lower[0]->setGroupMark(0);
    EXPECT_TRUE(allMarksZero());
}

TEST_F(GroupWalks, SetGroupPositionLaysOutABrickFromAnyUnit) {
    auto brick = world.brick(4, 145, 10);  // left to right: 100, 115, 130, 145
    brick[2]->setGroupPosition(100, 200);
    EXPECT_EQ(brick[3]->x, 115);
    EXPECT_EQ(brick[2]->x, 100);
    EXPECT_EQ(brick[1]->x, 85);
    EXPECT_EQ(brick[0]->x, 70);
    for (BrickUnit* unit : brick) {
        EXPECT_EQ(unit->y, 200);
        EXPECT_EQ(unit->mark, 1);
        EXPECT_EQ(unit->drawY, 10) << "logical moves leave the drawn position";
    }
}

TEST_F(GroupWalks, SetGroupPositionOnAMarkedUnitPlacesNothing) {
    BrickUnit& unit = world.unit(5, 6);
    unit.mark = 2;
    unit.setGroupPosition(50, 60);
    EXPECT_EQ(unit.x, 5);
    EXPECT_EQ(unit.y, 6);
}

TEST_F(GroupWalks, StacksAreLaidOutAtPitch18InBothDirections) {
    BrickUnit& p = world.unit(0, 0);
    BrickUnit& q = world.unit(0, 0);
    BrickUnit& r = world.unit(0, 0);
    stack(q, p);
    stack(r, q);

    p.setGroupPosition(10, 100);
    p.setGroupMark(0);
    EXPECT_EQ(q.y, 82);
    EXPECT_EQ(r.y, 64);
    EXPECT_EQ(r.x, 10);

    r.setGroupPosition(10, 100);
    r.setGroupMark(0);
    EXPECT_EQ(q.y, 118);
    EXPECT_EQ(p.y, 136);
}

TEST_F(GroupWalks, FirstPlacementWinsInACycle) {
    // A one-stud brick resting on both ends of a two-stud brick that hangs under two
    // units of a second brick: the cycle is closed, and where paths disagree the
    // first one reached decides.
    auto top = world.brick(2, 115, 0);
    auto bottom = world.brick(2, 115, 50);  // deliberately off the lattice
    stack(*top[0], *bottom[0]);
    stack(*top[1], *bottom[1]);

    top[0]->setGroupPosition(0, 0);
    // top[0] -> right top[1] (15, 0) -> below bottom[1] (15, 18) -> left bottom[0] (0, 18).
    EXPECT_EQ(top[1]->x, 15);
    EXPECT_EQ(bottom[1]->x, 15);
    EXPECT_EQ(bottom[1]->y, 18);
    EXPECT_EQ(bottom[0]->x, 0);
    EXPECT_EQ(bottom[0]->y, 18);
}

TEST_F(GroupWalks, SetGroupDrawPositionMovesOnlyTheDrawnPosition) {
    auto brick = world.brick(2, 50, 60);
    brick[1]->setGroupDrawPosition(200, 300);
    EXPECT_EQ(brick[1]->drawX, 200);
    EXPECT_EQ(brick[0]->drawX, 185);
    EXPECT_EQ(brick[0]->drawY, 300);
    EXPECT_EQ(brick[1]->x, 50);
    EXPECT_EQ(brick[0]->x, 35);
    EXPECT_EQ(brick[0]->y, 60);
}

TEST_F(GroupWalks, CommitPendingLinksJoinsBothWaysWithoutEnteringTheOtherGroup) {
    auto held = world.brick(2, 115, 82);
    auto target = world.brick(2, 115, 100);
    BrickUnit& onTarget = world.unit(130, 118);  // hangs under the target: part of its group
    stack(*target[1], onTarget);
    held[0]->pendingBelow = target[0];
    held[1]->pendingBelow = target[1];

    held[1]->commitPendingLinks();

    EXPECT_EQ(held[0]->below, target[0]);
    EXPECT_EQ(target[0]->above, held[0]);
    EXPECT_EQ(held[1]->below, target[1]);
    EXPECT_EQ(target[1]->above, held[1]);
    for (BrickUnit* unit : held) {
        EXPECT_EQ(unit->pendingBelow, nullptr);
        EXPECT_EQ(unit->pendingAbove, nullptr);
        EXPECT_EQ(unit->mark, 1);
    }
    EXPECT_EQ(target[0]->mark, 0);
    EXPECT_EQ(target[1]->mark, 0);
    EXPECT_EQ(onTarget.mark, 0);
}

TEST_F(GroupWalks, ClearPendingLinksClearsTheWholeGroup) {
    auto held = world.brick(2, 115, 82);
    BrickUnit& other = world.unit(0, 0);
    held[0]->pendingAbove = &other;
    held[1]->pendingBelow = &other;
    other.pendingBelow = held[0];
    held[0]->clearPendingLinks();
    EXPECT_EQ(held[0]->pendingAbove, nullptr);
    EXPECT_EQ(held[1]->pendingBelow, nullptr);
    EXPECT_EQ(other.pendingBelow, held[0]) << "units outside the group keep theirs";
}

struct HitCase {
    int32_t px;
    int32_t py;
    bool hits;
};

class HitTest : public ::testing::TestWithParam<HitCase> {
protected:
    TestWorld world;
};

TEST_P(HitTest, BoundsAreInclusiveOn16By19Pixels) {
    BrickUnit& unit = world.unit(100, 200);
    const HitCase& hit = GetParam();
    EXPECT_EQ(unitAtPoint(hit.px, hit.py), hit.hits ? &unit : nullptr);
}

INSTANTIATE_TEST_SUITE_P(Corners, HitTest,
                         ::testing::Values(HitCase{100, 200, true}, HitCase{115, 218, true}, HitCase{115, 200, true},
                                           HitCase{100, 218, true}, HitCase{116, 200, false},
                                           HitCase{99, 200, false}, HitCase{100, 219, false},
                                           HitCase{100, 199, false}));

TEST_F(GroupWalks, HitTestReturnsTheEarlierUnitWhereUnitsOverlap) {
    BrickUnit& first = world.unit(100, 100);
    world.unit(105, 105);
    EXPECT_EQ(unitAtPoint(110, 110), &first);
}

TEST_F(GroupWalks, SharedBorderColumnBelongsToTheRightHandUnit) {
    auto brick = world.brick(2, 115, 100);
    EXPECT_EQ(unitAtPoint(115, 105), brick[1]);
    EXPECT_EQ(unitAtPoint(114, 105), brick[0]);
}

}  // namespace
