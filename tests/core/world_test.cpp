#include <gtest/gtest.h>

#include <cstdlib>

#include "test_world.h"
#include "world/world.h"

namespace {

// Replays the draws by hand after srand(1), so no library's sequence is assumed:
// colour, width, y and x of the rightmost unit, then two discarded draws per further unit.
TEST(WorldCreation, FollowsTheDrawsAndBuildsBricksRightToLeft) {
    TestWorld world(0);  // the start world, not drawn
    const int next = std::rand();

    std::srand(1);
    std::size_t index = 0;
    for (int brick = 0; brick < 100; ++brick) {
        constexpr uint32_t palette[] = {0x1B28C4, 0xF2F3F2, 0x2FCDF5, 0xAB690D, 0x4A974B};
        const uint32_t colour = palette[std::rand() % 5];
        const int width = 1 << (std::rand() % 3);
        const int32_t y = std::rand() % 768;
        const int32_t x = std::rand() % 1000;
        for (int extra = 1; extra < width; ++extra) std::rand(), std::rand();
        for (int i = 0; i < width; ++i, ++index) {
            ASSERT_LT(index, World.size());
            const BrickUnit& unit = *World[index];
            EXPECT_EQ(std::make_tuple(unit.colour, unit.x, unit.y, unit.drawX, unit.drawY, unit.mark),
                      std::make_tuple(colour, x - 15 * i, y, x - 15 * i, y, 0)) << "unit " << index;
            EXPECT_EQ(unit.right, i == 0 ? nullptr : World[index - 1]);
            EXPECT_EQ(unit.left, i == width - 1 ? nullptr : World[index + 1]);
            EXPECT_TRUE(!unit.above && !unit.below && !unit.pendingAbove && !unit.pendingBelow);
        }
    }
    EXPECT_EQ(index, World.size());
    EXPECT_EQ(next, std::rand()) << "creation makes no draw beyond 2 + 2n per brick";
    EXPECT_EQ(memoryHost().presentCount, 0) << "creating the world draws nothing";
}

TEST(GroupWalks, CommitJoinsBothWaysWithoutEnteringTheOtherGroupAndClearJoinsIn) {
    TestWorld world;
    auto held = world.brick(2, 115, 82);
    auto target = world.brick(2, 115, 100);
    BrickUnit& underTarget = world.unit(130, 118);
    stack(*target[1], underTarget);
    held[0]->pendingBelow = target[0];
    held[1]->pendingBelow = target[1];
    held[1]->commitPendingLinks();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::make_pair(held[i]->below, target[i]->above), std::make_pair(target[i], held[i]));
        EXPECT_EQ(std::make_tuple(held[i]->pendingBelow, held[i]->mark, target[i]->mark),
                  std::make_tuple(static_cast<BrickUnit*>(nullptr), 1, 0));
    }
    EXPECT_EQ(underTarget.mark, 0);

    held[0]->setGroupMark(0);
    underTarget.pendingBelow = held[0];
    held[0]->clearPendingLinks();
    EXPECT_EQ(underTarget.pendingBelow, nullptr) << "the merged group is cleared too";
}

TEST(HitTest, BoundsAreInclusiveAndTheEarlierUnitWins) {
    TestWorld world;
    auto brick = world.brick(2, 115, 200);  // World: the unit at 115, then the one at 100
    BrickUnit& later = world.unit(105, 205);
    for (auto [x, y, expected] : {std::tuple{100, 200, brick[0]}, {130, 218, brick[1]}, {115, 210, brick[1]},
                                  {114, 210, brick[0]}, {131, 200, nullptr}, {99, 200, nullptr},
                                  {100, 219, nullptr}, {110, 222, &later}, {110, 210, brick[0]}}) {
        EXPECT_EQ(unitAtPoint(x, y), expected) << x << ", " << y;
    }
}

}  // namespace
