#include <gtest/gtest.h>

#include "interaction/attach_detach.h"
#include "interaction/snap_search.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

class AttachDetach : public ::testing::Test {
protected:
    std::size_t sounds() const { return recordingHost().sounds.size(); }
    TestWorld world;
};

// The held brick lands exactly one stacking pitch from the target, in its column.
TEST_F(AttachDetach, AttachLaysTheHeldGroupOutFromTheTarget) {
    auto free = world.brick(4, 145, 200);  // F0..F3 at 100..145
    auto held = world.brick(2, 133, 172);
    ASSERT_EQ(snapSearch(*held[0]), free[1]);
    attachGroup(*held[0]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(held[i]->below, free[i + 1]);
        EXPECT_EQ(free[i + 1]->above, held[i]);
        EXPECT_EQ(std::make_pair(held[i]->x, held[i]->y), std::make_pair(115 + 15 * i, 182));
        EXPECT_EQ(std::make_pair(held[i]->drawX, held[i]->drawY), std::make_pair(115 + 15 * i, 182));
        EXPECT_EQ(held[i]->pendingBelow, nullptr);
    }
    EXPECT_EQ(free[0]->x, 100) << "the target group does not move";
    EXPECT_TRUE(allMarksZero());
    ASSERT_EQ(sounds(), 1u);
    EXPECT_EQ(recordingHost().sounds[0].rfind("Sounds\\attach", 0), 0u);

    for (int32_t offset = -7; offset <= 7; ++offset) {
        for (bool hang : {false, true}) {
            TestWorld local;
            BrickUnit& target = local.unit(300, 300);
            BrickUnit& unit = local.unit(300 + offset, hang ? 322 : 278);
            ASSERT_EQ(snapSearch(unit), &target);
            attachGroup(unit);
            EXPECT_EQ(std::make_pair(unit.x, unit.y), std::make_pair(300, hang ? 318 : 282)) << offset;
            EXPECT_EQ(hang ? unit.above : unit.below, &target);
        }
    }
}

// A stack of three single bricks: p rests on q, q rests on r.
TEST_F(AttachDetach, StackOfThreeComesApartOnePressAtATime) {
    struct Case {
        const char* pressed;
        bool fromBelow;
        bool fromAbove;
    };
    for (Case c : {Case{"q", true, true}, Case{"r", false, true}, Case{"p", true, false}}) {
        TestWorld local;
        resetRecordingHost();
        BrickUnit& r = local.unit(100, 136);
        BrickUnit& q = local.unit(100, 118);
        BrickUnit& p = local.unit(100, 100);
        stack(p, q);
        stack(q, r);
        BrickUnit& pressed = c.pressed[0] == 'p' ? p : c.pressed[0] == 'q' ? q : r;
        EXPECT_EQ(canDetachFromBelow(pressed), c.fromBelow) << c.pressed;
        EXPECT_EQ(canDetachFromAbove(pressed), c.fromAbove) << c.pressed;
        if (c.fromBelow) {
            BrickUnit* under = pressed.below;
            detachFromBelow(pressed);
            EXPECT_EQ(pressed.below, nullptr);
            EXPECT_EQ(under->above, nullptr);
        } else {
            BrickUnit* over = pressed.above;
            detachFromAbove(pressed);
            EXPECT_EQ(pressed.above, nullptr);
            EXPECT_EQ(over->below, nullptr);
        }
        EXPECT_EQ(sounds(), 1u);
        EXPECT_TRUE(allMarksZero());
        if (&pressed == &q) {  // a second press cuts the link above
            EXPECT_EQ(p.below, &q);
            ASSERT_TRUE(canDetachFromAbove(q));
            detachFromAbove(q);
            EXPECT_EQ(p.below, nullptr);
        }
    }
}

TEST_F(AttachDetach, LoneBrickCannotBeDetached) {
    auto brick = world.brick(4, 100, 100);
    EXPECT_FALSE(canDetachFromBelow(*brick[1]));
    EXPECT_FALSE(canDetachFromAbove(*brick[1]));
    EXPECT_TRUE(allMarksZero());
}

// Long brick L; one-stud M and S rest on it in different columns; long brick T rests
// on both. M is held from both sides through the others and cannot be pulled out.
TEST_F(AttachDetach, AssemblyClosedAroundABrickDoesNotComeApart) {
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
}

// A brick on two legs that meet again further down still lifts off, with one sound.
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
    EXPECT_EQ(rightLeg.above, nullptr);
    EXPECT_EQ(sounds(), 1u);
}

}  // namespace
