#include <gtest/gtest.h>

#include "interaction/attach_detach.h"
#include "interaction/snap_search.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

class AttachDetach : public ::testing::Test {
protected:
    TestWorld world;
    const std::vector<std::string>& sounds() { return recordingHost().sounds; }
};

TEST_F(AttachDetach, WorkedExampleAttachesAtTheExactStackingPlace) {
    auto free = world.brick(4, 145, 200);
    auto held = world.brick(2, 133, 172);
    ASSERT_EQ(snapSearch(*held[0]), free[1]);

    attachGroup(*held[0]);

    EXPECT_EQ(held[0]->below, free[1]);
    EXPECT_EQ(free[1]->above, held[0]);
    EXPECT_EQ(held[1]->below, free[2]);
    EXPECT_EQ(free[2]->above, held[1]);
    for (BrickUnit* unit : held) {
        EXPECT_EQ(unit->y, 182);
        EXPECT_EQ(unit->drawY, 182);
        EXPECT_EQ(unit->x, unit->drawX);
        EXPECT_EQ(unit->pendingBelow, nullptr);
    }
    EXPECT_EQ(held[0]->x, 115);
    EXPECT_EQ(held[1]->x, 130);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(free[static_cast<std::size_t>(i)]->x, 100 + 15 * i) << "the target does not move";
        EXPECT_EQ(free[static_cast<std::size_t>(i)]->y, 200);
    }
    EXPECT_TRUE(allMarksZero());
    ASSERT_EQ(sounds().size(), 1u);
    EXPECT_EQ(sounds()[0].rfind("Sounds\\attach", 0), 0u);
}

TEST_F(AttachDetach, AttachLandsExactly18AwayWhateverTheColumnOffset) {
    for (int32_t offset = -7; offset <= 7; ++offset) {
        for (bool hang : {false, true}) {
            TestWorld local;
            BrickUnit& target = local.unit(300, 300);
            BrickUnit& held = local.unit(300 + offset, hang ? 322 : 278);
            ASSERT_EQ(snapSearch(held), &target);
            attachGroup(held);
            EXPECT_EQ(held.x, 300);
            EXPECT_EQ(held.y, hang ? 318 : 282) << "offset " << offset;
            EXPECT_EQ(held.drawY, held.y);
            EXPECT_EQ(hang ? held.above : held.below, &target);
        }
    }
}

// A stack of three single bricks: p rests on q, q rests on r.
class StackOfThree : public AttachDetach {
protected:
    void SetUp() override {
        stack(p, q);
        stack(q, r);
    }
    BrickUnit& r = world.unit(100, 136);
    BrickUnit& q = world.unit(100, 118);
    BrickUnit& p = world.unit(100, 100);
};

TEST_F(StackOfThree, MiddleBrickComesOffWhatItRestsOnThenOffWhatRestsOnIt) {
    ASSERT_TRUE(canDetachFromBelow(q));
    detachFromBelow(q);
    EXPECT_EQ(q.below, nullptr);
    EXPECT_EQ(r.above, nullptr);
    EXPECT_EQ(p.below, &q) << "only the link below is cut";
    EXPECT_EQ(sounds().size(), 1u);

    EXPECT_FALSE(canDetachFromBelow(q));
    ASSERT_TRUE(canDetachFromAbove(q));
    detachFromAbove(q);
    EXPECT_EQ(q.above, nullptr);
    EXPECT_EQ(p.below, nullptr);
    EXPECT_EQ(sounds().size(), 2u);
    EXPECT_TRUE(allMarksZero());
}

TEST_F(StackOfThree, BottomBrickIsCutFromWhatRestsOnIt) {
    EXPECT_FALSE(canDetachFromBelow(r));
    ASSERT_TRUE(canDetachFromAbove(r));
    detachFromAbove(r);
    EXPECT_EQ(r.above, nullptr);
    EXPECT_EQ(q.below, nullptr);
    EXPECT_EQ(q.above, &p);
}

TEST_F(StackOfThree, TopBrickLiftsOffAlone) {
    ASSERT_TRUE(canDetachFromBelow(p));
    detachFromBelow(p);
    EXPECT_EQ(p.below, nullptr);
    EXPECT_EQ(q.above, nullptr);
    EXPECT_EQ(q.below, &r);
    EXPECT_TRUE(allMarksZero());
}

TEST_F(AttachDetach, LoneBrickCannotBeDetachedEitherWay) {
    auto brick = world.brick(4, 100, 100);
    EXPECT_FALSE(canDetachFromBelow(*brick[1]));
    EXPECT_FALSE(canDetachFromAbove(*brick[1]));
    EXPECT_TRUE(allMarksZero());
    EXPECT_TRUE(sounds().empty());
}

// Long brick L; one-stud M and S rest on it in different columns; long brick T rests
// on both M and S. M is held in place from both sides through the others.
TEST_F(AttachDetach, AssemblyThatClosesAroundABrickDoesNotComeApart) {
    auto l = world.brick(4, 145, 200);
    BrickUnit& m = world.unit(100, 182);
    BrickUnit& s = world.unit(145, 182);
    auto t = world.brick(4, 145, 164);
    stack(m, *l[0]);
    stack(s, *l[3]);
    stack(*t[0], m);
    stack(*t[3], s);

    EXPECT_FALSE(canDetachFromBelow(m));
    EXPECT_FALSE(canDetachFromAbove(m));
    EXPECT_TRUE(allMarksZero());
    EXPECT_TRUE(sounds().empty());
}

// A brick resting on two units of one lower assembly, which meet again further down,
// still lifts off: the part under it does not reach over it.
TEST_F(AttachDetach, BrickOnALowerAssemblyThatRejoinsBelowLiftsOff) {
    auto top = world.brick(2, 115, 100);
    BrickUnit& leftLeg = world.unit(100, 118);
    BrickUnit& rightLeg = world.unit(115, 118);
    auto base = world.brick(2, 115, 136);
    stack(*top[0], leftLeg);
    stack(*top[1], rightLeg);
    stack(leftLeg, *base[0]);
    stack(rightLeg, *base[1]);

    ASSERT_TRUE(canDetachFromBelow(*top[1]));
    detachFromBelow(*top[1]);
    EXPECT_EQ(top[0]->below, nullptr);
    EXPECT_EQ(top[1]->below, nullptr);
    EXPECT_EQ(leftLeg.above, nullptr);
    EXPECT_EQ(rightLeg.above, nullptr);
    EXPECT_EQ(sounds().size(), 1u) << "one sound for all the cuts";
}

TEST_F(AttachDetach, AttachedBrickCanBePulledOffTheSameTargetAgain) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& held = world.unit(300, 275);
    ASSERT_EQ(snapSearch(held), &target);
    attachGroup(held);
    ASSERT_TRUE(canDetachFromBelow(held));
    detachFromBelow(held);
    EXPECT_EQ(held.below, nullptr);
    EXPECT_EQ(target.above, nullptr);
}

}  // namespace
