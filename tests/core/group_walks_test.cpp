#include <gtest/gtest.h>

#include "recording_host.h"
#include "world/world.h"

namespace {

using Place = std::pair<int32_t, int32_t>;

Place at(const BrickUnit& unit) {
    return {unit.x, unit.y};
}

Place at(const BrickUnit* unit) {
    return at(*unit);
}

class GroupWalks : public ::testing::Test {
protected:
    TestWorld world;
};

TEST_F(GroupWalks, SetGroupMarkCoversTheGroupButStopsAtUnitsHoldingTheValue) {
    auto brick = world.brick(4, 100, 100);
    BrickUnit& upper = world.unit(100, 82);
    BrickUnit& stranger = world.unit(300, 300);
    stack(upper, *brick[3]);

    upper.setGroupMark(3);
    for (BrickUnit* unit : brick) EXPECT_EQ(unit->mark, 3);
    EXPECT_EQ(stranger.mark, 0);

    brick[1]->mark = 0;
    brick[1]->setGroupMark(0);  // already 0: nothing changes
    EXPECT_EQ(brick[0]->mark, 3);
    brick[2]->setGroupMark(0);  // walks right and up, but stops at brick[1]
    EXPECT_EQ(brick[0]->mark, 3);
    EXPECT_EQ(upper.mark, 0);
}

TEST_F(GroupWalks, SetGroupPositionLaysOutFromTheStartUnitAndMovesOnlyLogicalPositions) {
    auto brick = world.brick(4, 145, 10);
    brick[2]->setGroupPosition(100, 200);
    EXPECT_EQ(std::vector<Place>({at(brick[0]), at(brick[1]), at(brick[2]), at(brick[3])}),
              std::vector<Place>({{70, 200}, {85, 200}, {100, 200}, {115, 200}}));
    for (BrickUnit* unit : brick) {
        EXPECT_EQ(unit->mark, 1);
        EXPECT_EQ(unit->drawY, 10);
    }
    brick[0]->setGroupPosition(0, 0);  // marked: places nothing
    EXPECT_EQ(at(brick[0]), Place(70, 200));

    brick[0]->setGroupMark(0);
    brick[0]->setGroupDrawPosition(5, 6);
    EXPECT_EQ(std::make_pair(brick[3]->drawX, brick[3]->drawY), Place(50, 6));
    EXPECT_EQ(at(brick[3]), Place(115, 200));
}

TEST_F(GroupWalks, StacksAreLaidOutAtPitch18FromEitherEnd) {
    BrickUnit& p = world.unit(0, 0);
    BrickUnit& q = world.unit(0, 0);
    BrickUnit& r = world.unit(0, 0);
    stack(q, p);
    stack(r, q);
    p.setGroupPosition(10, 100);
    p.setGroupMark(0);
    EXPECT_EQ(std::vector<Place>({at(q), at(r)}), std::vector<Place>({{10, 82}, {10, 64}}));
    r.setGroupPosition(10, 100);
    r.setGroupMark(0);
    EXPECT_EQ(std::vector<Place>({at(q), at(p)}), std::vector<Place>({{10, 118}, {10, 136}}));
}

TEST_F(GroupWalks, FirstPlacementWinsInACycle) {
    // Two two-stud bricks joined at both studs, the lower one off the lattice: each
    // unit keeps the place of the path that reached it first (left, right, above, below).
    auto top = world.brick(2, 115, 0);
    auto bottom = world.brick(2, 115, 50);
    stack(*top[0], *bottom[0]);
    stack(*top[1], *bottom[1]);
    top[0]->setGroupPosition(0, 0);
    // top[0] -> right top[1] -> below bottom[1] -> left bottom[0]
    EXPECT_EQ(std::vector<Place>({at(top[1]), at(bottom[1]), at(bottom[0])}),
              std::vector<Place>({{15, 0}, {15, 18}, {0, 18}}));
}

TEST_F(GroupWalks, CommitPendingLinksJoinsBothWaysWithoutEnteringTheOtherGroup) {
    auto held = world.brick(2, 115, 82);
    auto target = world.brick(2, 115, 100);
    BrickUnit& underTarget = world.unit(130, 118);
    stack(*target[1], underTarget);
    held[0]->pendingBelow = target[0];
    held[1]->pendingBelow = target[1];

    held[1]->commitPendingLinks();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(held[i]->below, target[i]);
        EXPECT_EQ(target[i]->above, held[i]);
        EXPECT_EQ(held[i]->pendingBelow, nullptr);
        EXPECT_EQ(held[i]->mark, 1);
        EXPECT_EQ(target[i]->mark, 0);
    }
    EXPECT_EQ(underTarget.mark, 0);

    held[0]->setGroupMark(0);
    held[0]->pendingAbove = &underTarget;
    underTarget.pendingBelow = held[0];
    held[0]->clearPendingLinks();
    EXPECT_EQ(held[0]->pendingAbove, nullptr);
    EXPECT_EQ(underTarget.pendingBelow, nullptr) << "the merged group is cleared too";
}

TEST_F(GroupWalks, HitTestBoundsAreInclusiveAndTheEarlierUnitWins) {
    auto brick = world.brick(2, 115, 200);  // World: right unit at 115, then left at 100
    BrickUnit& later = world.unit(105, 205);
    struct Case {
        int32_t x, y;
        BrickUnit* expected;
    };
    for (Case c : {Case{100, 200, brick[0]}, Case{130, 218, brick[1]}, Case{115, 210, brick[1]},
                   Case{114, 210, brick[0]}, Case{131, 200, nullptr}, Case{99, 200, nullptr},
                   Case{100, 219, nullptr}, Case{110, 222, &later}, Case{110, 210, brick[0]}}) {
        EXPECT_EQ(unitAtPoint(c.x, c.y), c.expected) << c.x << ", " << c.y;
    }
}

}  // namespace
