#include <gtest/gtest.h>

#include <set>

#include "interaction/attach_detach.h"
#include "interaction/snap_search.h"
#include "sound/sounds.h"
#include "test_world.h"
#include "world/world.h"

namespace {

std::pair<int32_t, int32_t> drawn(const BrickUnit* unit) { return {unit->drawX, unit->drawY}; }

TEST(UnitGeometry, OverlapAndAlignmentBounds) {
    TestWorld world;
    const BrickUnit& b = world.unit(100, 100);
    for (auto [dx, dy, overlap] : {std::tuple{15, 0, true}, {16, 0, false}, {-16, 0, false}, {0, 18, true},
                                   {0, 19, false}, {0, -19, false}, {15, 18, true}, {-15, 0, true}, {0, -18, true}}) {
        EXPECT_EQ(unitsOverlap(world.unit(100 + dx, 100 + dy), b), overlap) << dx << ", " << dy;
    }
    // Resting on and hanging under, near the origin and far off any screen.
    for (auto [dx, gap, aligns] : {std::tuple{0, 18, false}, {0, 19, true}, {0, 32, true}, {0, 33, false},
                                   {7, 25, true}, {-7, 25, true}, {8, 25, false}, {-8, 25, false}}) {
        for (int32_t origin : {300, -1000000, 1000000}) {
            const BrickUnit& target = world.unit(origin, origin);
            EXPECT_EQ(studsAlign(world.unit(origin + dx, origin - gap), target), aligns) << dx << " " << gap;
            EXPECT_EQ(studsAlign(world.unit(origin + dx, origin + gap), target), aligns) << dx << " " << gap;
        }
    }
}

// The preview stands 21.75 pixels off the target, truncated toward zero.
TEST(SnapPreview, TruncatesTowardZero) {
    for (auto [targetY, heldY, previewY] : {std::tuple{100, 75, 78}, {100, 125, 121}, {10, -15, -11}}) {
        TestWorld world;
        BrickUnit& target = world.unit(50, targetY);
        BrickUnit& held = world.unit(57, heldY);
        ASSERT_EQ(snapSearch(held), &target);
        EXPECT_EQ(drawn(&held), std::make_pair(50, previewY));
    }
}

TEST(Detach, LoneBrickAndAClosedAssemblyStayWholeButLegsThatRejoinLiftOff) {
    TestWorld world;
    auto lone = world.brick(4, 700, 700);
    EXPECT_FALSE(canDetachFromBelow(*lone[1]) || canDetachFromAbove(*lone[1]));

    // A closed assembly: a two-stud brick whose left unit rests on a base from which a
    // loop climbs back over its right unit. Pressed on the right unit, it cuts nothing.
    auto held = world.brick(2, 315, 300);
    auto under = world.brick(2, 315, 318);
    auto over = world.brick(2, 330, 282);
    stack(*held[0], *under[0]);
    stack(*over[0], *held[1]);
    stack(*over[1], *under[1]);
    EXPECT_FALSE(canDetachFromBelow(*held[1]) || canDetachFromAbove(*held[1]));

    // A two-stud brick on one leg, under its right unit, lifts off it.
    auto perched = world.brick(2, 615, 100);
    stack(*perched[1], world.unit(615, 118));
    EXPECT_TRUE(canDetachFromBelow(*perched[1]));

    // A two-stud brick on two legs that stand on one base.
    auto top = world.brick(2, 415, 100);
    BrickUnit& leftLeg = world.unit(400, 118);
    BrickUnit& rightLeg = world.unit(415, 118);
    auto base = world.brick(2, 415, 136);
    stack(*top[0], leftLeg);
    stack(*top[1], rightLeg);
    stack(leftLeg, *base[0]);
    stack(rightLeg, *base[1]);
    ASSERT_TRUE(canDetachFromBelow(*top[1]));
    detachFromBelow(*top[1]);
    EXPECT_TRUE(leftLeg.above == nullptr && rightLeg.above == nullptr && top[0]->below == nullptr);
    EXPECT_EQ(memoryHost().sounds.size(), 1u) << "one sound for every cut of one press";
    // The base, pressed on its right unit, lets go of both legs.
    ASSERT_TRUE(canDetachFromAbove(*base[1]));
    detachFromAbove(*base[1]);
    EXPECT_TRUE(leftLeg.below == nullptr && rightLeg.below == nullptr && base[0]->above == nullptr);
    EXPECT_TRUE(allMarksZero());
}

TEST(Sounds, OnlyTheEightPathsAndTheVariantIsTheNextDrawModuloFour) {
    TestWorld world;
    std::srand(7);
    const int first = std::rand() % 4;
    std::srand(7);
    playDetachSound();
    EXPECT_EQ(memoryHost().sounds[0], "Sounds\\detach" + std::to_string(first) + ".wav");
    for (int i = 0; i < 400; ++i) playAttachSound(), playDetachSound();
    const std::set<std::string> formed(memoryHost().sounds.begin(), memoryHost().sounds.end());
    EXPECT_EQ(formed, (std::set<std::string>{"Sounds\\attach0.wav", "Sounds\\attach1.wav", "Sounds\\attach2.wav",
                                             "Sounds\\attach3.wav", "Sounds\\detach0.wav", "Sounds\\detach1.wav",
                                             "Sounds\\detach2.wav", "Sounds\\detach3.wav"}));
}

}  // namespace
