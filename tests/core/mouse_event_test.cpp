#include <gtest/gtest.h>

#include <cmath>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "interaction/snap_search.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

using enum MouseMessage;

class MouseEvents : public ::testing::Test {
protected:
    HookAnswer send(MouseMessage message, int32_t x, int32_t y) { return handleMouseEvent(message, x, y); }
    int presents() const { return recordingHost().presentCount; }
    std::size_t soundCount() const { return recordingHost().sounds.size(); }

    // Picks up `held` and brings it, in slow steps, to rest 25 pixels over `target`.
    void snapOnto(BrickUnit& held, const BrickUnit& target, MouseMessage press = LeftDown) {
        ASSERT_EQ(send(press, held.x + 2, held.y + 2), HookAnswer::Swallow);
        // One fast step to the start of the approach, then slow steps.
        send(Move, target.x + 40, target.y - 25);
        for (int32_t x = target.x + 36; x >= target.x; x -= 4) {
            send(Move, x, target.y - 25);
        }
        ASSERT_EQ(dragState, DragState::Snapped);
    }

    TestWorld world;
};

TEST_F(MouseEvents, LeftPressOnTheDesktopIsDelivered) {
    world.unit(100, 100);
    EXPECT_EQ(send(LeftDown, 500, 500), HookAnswer::Deliver);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(send(LeftUp, 500, 500), HookAnswer::Deliver);
    EXPECT_EQ(send(Move, 510, 510), HookAnswer::Chain);
    EXPECT_EQ(presents(), 0);
}

TEST_F(MouseEvents, ClickOnAUnitIsSwallowedAndRedrawsOnlyAtRelease) {
    BrickUnit& unit = world.unit(100, 100);
    EXPECT_EQ(send(LeftDown, 107, 109), HookAnswer::Swallow);
    EXPECT_EQ(dragState, DragState::Holding);
    EXPECT_EQ(grabbedUnit, &unit);
    EXPECT_EQ(presents(), 0);
    EXPECT_EQ(send(LeftUp, 107, 109), HookAnswer::Swallow);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(presents(), 1);
    EXPECT_EQ(unit.x, 100);
    EXPECT_EQ(unit.y, 100);
}

TEST_F(MouseEvents, FirstMovePutsTheGrabbedCornerOnThePointer) {
    auto brick = world.brick(2, 115, 100);
    send(LeftDown, 110, 110);  // inside the left unit
    EXPECT_EQ(send(Move, 400, 300), HookAnswer::Deliver);
    EXPECT_EQ(brick[0]->x, 400);
    EXPECT_EQ(brick[0]->y, 300);
    EXPECT_EQ(brick[1]->x, 415);
    EXPECT_EQ(brick[1]->drawX, 415);
    EXPECT_EQ(presents(), 1);
}

TEST_F(MouseEvents, PressDuringADragIsPassedOnAndEitherReleaseEndsIt) {
    BrickUnit& unit = world.unit(100, 100);
    BrickUnit& other = world.unit(300, 300);
    send(LeftDown, 105, 105);
    EXPECT_EQ(send(RightDown, 305, 305), HookAnswer::Deliver) << "right press during a left drag";
    EXPECT_EQ(grabbedUnit, &unit);
    EXPECT_EQ(send(RightUp, 305, 305), HookAnswer::Swallow) << "right release ends the left drag";
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(send(LeftUp, 105, 105), HookAnswer::Deliver);

    send(RightDown, 305, 305);
    EXPECT_TRUE(swallowRightUp);
    EXPECT_EQ(send(LeftDown, 105, 105), HookAnswer::Deliver) << "left press during a right drag";
    EXPECT_EQ(send(LeftUp, 105, 105), HookAnswer::Swallow);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(send(RightUp, 305, 305), HookAnswer::Swallow) << "flag still set";
    EXPECT_FALSE(swallowRightUp);
    EXPECT_EQ(send(RightUp, 305, 305), HookAnswer::Deliver);
    (void)other;
}

TEST_F(MouseEvents, OtherMessagesAreChainedInEveryState) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& held = world.unit(100, 100);
    EXPECT_EQ(send(Other, 105, 105), HookAnswer::Chain);
    send(LeftDown, 105, 105);
    EXPECT_EQ(send(Other, 105, 105), HookAnswer::Chain);
    EXPECT_EQ(dragState, DragState::Holding);
    send(LeftUp, 0, 0);
    snapOnto(held, target);
    const int before = presents();
    EXPECT_EQ(send(Other, 0, 0), HookAnswer::Chain);
    EXPECT_EQ(dragState, DragState::Snapped);
    EXPECT_EQ(presents(), before);
}

TEST_F(MouseEvents, FirstDragStepMeasuresFromThePreviousDragsLastStep) {
    world.unit(100, 100);
    BrickUnit& target = world.unit(600, 600);
    // First drag ever: measured from (0, 0).
    send(LeftDown, 105, 105);
    send(Move, 4, 4);
    EXPECT_EQ(lastDragX, 4);
    send(LeftUp, 4, 4);
    // The next drag's first step counts from (4, 4), not from the press.
    BrickUnit& held = world.unit(606, 573);  // 27 above target, 6 to the right
    send(LeftDown, 610, 580);
    send(Move, 606, 573);  // far from (4, 4): fast, no snap search
    EXPECT_EQ(dragState, DragState::Holding);
    send(Move, 605, 573);  // slow: snaps
    EXPECT_EQ(dragState, DragState::Snapped);
    EXPECT_EQ(snapTarget, &target);
    (void)held;
}

TEST(DragSteps, SlowAndFastMovesSplitAtEightPixels) {
    struct Step {
        int32_t dx, dy;
        DragState after;
    };
    for (Step step : {Step{8, 0, DragState::Snapped}, Step{8, 1, DragState::Holding}, Step{0, -8, DragState::Snapped},
                      Step{-6, -6, DragState::Holding}, Step{5, 6, DragState::Snapped}}) {
        TestWorld world;
        world.unit(600, 600);
        world.unit(600, 575);
        handleMouseEvent(LeftDown, 601, 576);
        handleMouseEvent(Move, 600 - step.dx, 575 - step.dy);  // fast from (0, 0)
        ASSERT_EQ(dragState, DragState::Holding);
        handleMouseEvent(Move, 600, 575);  // rests 25 over the first unit
        EXPECT_EQ(dragState, step.after) << step.dx << ", " << step.dy;
    }
}

TEST(TravelThreshold, MatchesTheSinglePrecisionRootWhereItIsDefined) {
    for (int32_t dx = -12; dx <= 12; ++dx) {
        for (int32_t dy = -12; dy <= 12; ++dy) {
            const float travel = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            EXPECT_EQ(isFastMove(100, 100, 100 + dx, 100 + dy), travel > 8.0f) << dx << ", " << dy;
        }
    }
    EXPECT_TRUE(isFastMove(-1000000, -1000000, 1000000, 1000000));
    EXPECT_TRUE(isFastMove(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_FALSE(isFastMove(INT32_MAX, INT32_MIN, INT32_MAX - 8, INT32_MIN));
}

TEST_F(MouseEvents, ReleaseWhileSnappedAttachesWithASound) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target);
    EXPECT_EQ(held.drawY, 278) << "preview";
    EXPECT_EQ(send(LeftUp, 300, 275), HookAnswer::Swallow);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(held.below, &target);
    EXPECT_EQ(held.y, 282);
    EXPECT_EQ(held.drawY, 282);
    EXPECT_EQ(soundCount(), 1u);
}

TEST_F(MouseEvents, RightReleaseWhileSnappedAttachesToo) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target, RightDown);
    EXPECT_EQ(send(RightUp, 300, 275), HookAnswer::Swallow);
    EXPECT_EQ(held.below, &target);
    EXPECT_FALSE(swallowRightUp);
}

TEST_F(MouseEvents, SnappedGroupPushedIntoAnotherUnitAttachesDuringTheMove) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& bystander = world.unit(318, 255);  // touched by a slow step up and right
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target);
    EXPECT_EQ(send(Move, 304, 270), HookAnswer::Deliver);  // touches the bystander
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(held.below, &target) << "attaches to the target, not to what it touched";
    EXPECT_EQ(held.x, 300);
    EXPECT_EQ(held.y, 282);
    EXPECT_EQ(soundCount(), 1u);
    EXPECT_EQ(send(Move, 310, 270), HookAnswer::Chain) << "the drag is over";
    EXPECT_EQ(send(LeftUp, 310, 270), HookAnswer::Deliver);
    (void)bystander;
}

TEST_F(MouseEvents, FastMoveInContactWhileSnappedAttaches) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& bystander = world.unit(400, 290);
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target);
    send(Move, 395, 285);  // fast, overlapping the bystander
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(held.below, &target);
    (void)bystander;
}

TEST_F(MouseEvents, FastMoveWithoutContactUnsnaps) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target);
    send(Move, 500, 500);
    EXPECT_EQ(dragState, DragState::Holding);
    EXPECT_EQ(held.drawX, 500);
    EXPECT_EQ(held.drawY, 500);
    send(LeftUp, 500, 500);
    EXPECT_EQ(held.below, nullptr);
    EXPECT_EQ(soundCount(), 0u);
}

TEST_F(MouseEvents, HoldingGroupMayBeDroppedOverlappingOthers) {
    BrickUnit& other = world.unit(300, 300);
    BrickUnit& held = world.unit(100, 100);
    send(LeftDown, 105, 105);
    send(Move, 296, 296);
    send(Move, 300, 300);
    EXPECT_EQ(dragState, DragState::Holding);
    send(LeftUp, 300, 300);
    EXPECT_EQ(held.x, 300);
    EXPECT_EQ(held.drawX, 300);
    EXPECT_EQ(held.below, nullptr);
    (void)other;
}

TEST_F(MouseEvents, PressWhileSnappedGrabsAnewAndLeavesTheOldGroupAtItsPreview) {
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& other = world.unit(700, 700);
    BrickUnit& held = world.unit(100, 100);
    snapOnto(held, target);
    const int32_t previewY = held.drawY;
    EXPECT_EQ(send(RightDown, 705, 705), HookAnswer::Swallow);
    EXPECT_EQ(grabbedUnit, &other);
    EXPECT_EQ(dragState, DragState::Holding);
    EXPECT_EQ(held.drawY, previewY);
    EXPECT_EQ(held.y, 275);
    EXPECT_EQ(send(RightUp, 705, 705), HookAnswer::Swallow);
    EXPECT_EQ(held.below, nullptr) << "the release ends the new drag without attaching";
    EXPECT_EQ(send(LeftUp, 0, 0), HookAnswer::Deliver);
}

TEST_F(MouseEvents, RightPressPullsLooseThenGrabs) {
    BrickUnit& lower = world.unit(100, 118);
    BrickUnit& upper = world.unit(100, 100);
    stack(upper, lower);
    EXPECT_EQ(send(RightDown, 105, 105), HookAnswer::Swallow);
    EXPECT_EQ(upper.below, nullptr);
    EXPECT_EQ(lower.above, nullptr);
    EXPECT_EQ(grabbedUnit, &upper);
    ASSERT_EQ(soundCount(), 1u);
    EXPECT_EQ(recordingHost().sounds[0].rfind("Sounds\\detach", 0), 0u);
    send(Move, 400, 400);
    EXPECT_EQ(lower.x, 100) << "what lay under stays";
    EXPECT_EQ(send(RightUp, 400, 400), HookAnswer::Swallow);
}

TEST_F(MouseEvents, RightPressOnALoneBrickCutsNothingAndStillDrags) {
    BrickUnit& unit = world.unit(100, 100);
    EXPECT_EQ(send(RightDown, 105, 105), HookAnswer::Swallow);
    EXPECT_EQ(soundCount(), 0u);
    send(Move, 200, 200);
    EXPECT_EQ(unit.x, 200);
    EXPECT_EQ(send(RightUp, 200, 200), HookAnswer::Swallow);
}

}  // namespace
