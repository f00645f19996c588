#include <gtest/gtest.h>

#include <cstdlib>

#include "recording_host.h"
#include "world/world.h"

namespace {

// The world as expected from replaying the draws by hand: colour, width, then y and x
// of each unit. Only the order of draws is assumed, never one library's sequence.
struct ExpectedBrick {
    uint32_t colour;
    int width;
    int32_t x;
    int32_t y;
};

std::vector<ExpectedBrick> expectedBricks() {
    std::srand(1);  // the unseeded sequence
    std::vector<ExpectedBrick> bricks;
    for (int i = 0; i < worldBrickCount; ++i) {
        ExpectedBrick brick{};
        constexpr uint32_t palette[] = {0x1B28C4, 0xF2F3F2, 0x2FCDF5, 0xAB690D, 0x4A974B};
        brick.colour = palette[std::rand() % 5];
        brick.width = 1 << (std::rand() % 3);
        brick.y = std::rand() % 768;
        brick.x = std::rand() % 1000;
        for (int extra = 1; extra < brick.width; ++extra) {
            std::rand();
            std::rand();
        }
        bricks.push_back(brick);
    }
    return bricks;
}

class WorldCreation : public ::testing::Test {
protected:
    void build() {
        std::srand(1);
        createWorld();
        world.adoptCreatedWorld();
    }
    TestWorld world;
};

TEST_F(WorldCreation, BricksFollowTheDrawsInOrderAndStandRightToLeftAtPitch15) {
    resetRecordingHost(64, 64);
    build();
    const std::vector<ExpectedBrick> bricks = expectedBricks();

    std::size_t index = 0;
    for (const ExpectedBrick& brick : bricks) {
        ASSERT_LT(index + brick.width - 1, World.size());
        for (int unitIndex = 0; unitIndex < brick.width; ++unitIndex) {
            const BrickUnit& unit = *World[index + unitIndex];
            SCOPED_TRACE(testing::Message() << "unit " << index + unitIndex);
            EXPECT_EQ(unit.colour, brick.colour);
            EXPECT_GE(unit.x, -45);
            EXPECT_EQ(unit.x, brick.x - 15 * unitIndex);
            EXPECT_EQ(unit.y, brick.y);
            EXPECT_EQ(unit.drawX, unit.x);
            EXPECT_EQ(unit.drawY, unit.y);
            EXPECT_EQ(unit.mark, 0);
            EXPECT_EQ(unit.right, unitIndex == 0 ? nullptr : World[index + unitIndex - 1]);
            EXPECT_EQ(unit.left, unitIndex == brick.width - 1 ? nullptr : World[index + unitIndex + 1]);
            EXPECT_EQ(unit.above, nullptr);
            EXPECT_EQ(unit.below, nullptr);
            EXPECT_EQ(unit.pendingAbove, nullptr);
            EXPECT_EQ(unit.pendingBelow, nullptr);
        }
        index += static_cast<std::size_t>(brick.width);
    }
    EXPECT_EQ(index, World.size());
    EXPECT_GE(World.size(), 100u);
    EXPECT_LE(World.size(), 400u);
    EXPECT_EQ(recordingHost().presentCount, 1) << "creation ends with one redraw";
}

TEST_F(WorldCreation, EveryBrickConsumesTwoPlusTwoDrawsPerUnit) {
    build();
    int draws = 0;
    for (std::size_t i = 0; i < World.size(); ++i) draws += 2;
    draws += 2 * worldBrickCount;
    // The next draw after creation is the one that follows exactly that many.
    const int next = std::rand();
    std::srand(1);
    for (int i = 0; i < draws; ++i) std::rand();
    EXPECT_EQ(next, std::rand());
}

}  // namespace
