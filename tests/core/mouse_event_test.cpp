#include <gtest/gtest.h>

#include <cmath>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "interaction/snap_search.h"
#include "test_world.h"
#include "world/world.h"

namespace {

using enum MouseMessage;
using enum DragState;
using enum HookAnswer;

// Three free units: one to hold, one to snap onto, one elsewhere to press on.
class MouseEvents : public ::testing::Test {
protected:
    HookAnswer send(MouseMessage message, int32_t x, int32_t y) { return handleMouseEvent(message, x, y); }

    TestWorld world;
    BrickUnit& target = world.unit(300, 300);
    BrickUnit& other = world.unit(600, 600);
    BrickUnit& held = world.unit(100, 100);
};

enum class Setup { Idle, IdleAfterRightGrab, Holding, Snapped };

struct Row {
    Setup setup;
    MouseMessage message;
    bool onOtherUnit;  // else a point beside every unit
    HookAnswer answer;
    DragState after;
    int redraws;
};

class EventTable : public MouseEvents, public ::testing::WithParamInterface<Row> {};

TEST_P(EventTable, AnswerStateAndRedraws) {
    const Row& row = GetParam();
    if (row.setup == Setup::Holding) send(LeftDown, 105, 105);
    if (row.setup == Setup::Snapped) {  // held, brought in slow steps to rest 25 pixels over target
        send(LeftDown, 105, 105);
        for (int32_t x = 340; x >= 300; x -= 4) send(Move, x, 275);
        ASSERT_EQ(dragState, Snapped);
    }
    if (row.setup == Setup::IdleAfterRightGrab) {
        send(RightDown, 105, 105);
        send(LeftUp, 105, 105);  // the other button ends the drag, the right release is still owed
    }
    const int presentsBefore = memoryHost().presentCount;
    const int32_t at = row.onOtherUnit ? 605 : 900;

    EXPECT_EQ(send(row.message, at, at), row.answer);
    EXPECT_EQ(dragState, row.after);
    EXPECT_EQ(memoryHost().presentCount - presentsBefore, row.redraws);
    if (row.answer == Swallow && (row.message == LeftDown || row.message == RightDown)) {
        EXPECT_EQ(grabbedUnit, &other);
        EXPECT_EQ(other.x, 600) << "a press moves nothing";
    }
    if (row.setup == Setup::Snapped && row.after == Idle) {
        EXPECT_EQ(held.below, &target);
    }
    if (row.message == RightUp || row.message == RightDown) {
        EXPECT_EQ(swallowRightUp, row.message == RightDown && row.answer == Swallow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EventTable,
    ::testing::Values(Row{Setup::Holding, LeftDown, true, Deliver, Holding, 0},
                      Row{Setup::Idle, LeftDown, false, Deliver, Idle, 0},
                      Row{Setup::Snapped, LeftDown, false, Deliver, Snapped, 0},
                      Row{Setup::Idle, LeftDown, true, Swallow, Holding, 0},
                      Row{Setup::Snapped, LeftDown, true, Swallow, Holding, 0},
                      Row{Setup::Idle, LeftUp, false, Deliver, Idle, 0},
                      Row{Setup::Holding, LeftUp, false, Swallow, Idle, 1},
                      Row{Setup::Snapped, LeftUp, false, Swallow, Idle, 1},
                      Row{Setup::Holding, RightDown, true, Deliver, Holding, 0},
                      Row{Setup::Idle, RightDown, false, Deliver, Idle, 0},
                      Row{Setup::Snapped, RightDown, true, Swallow, Holding, 0},
                      Row{Setup::IdleAfterRightGrab, RightUp, false, Swallow, Idle, 0},
                      Row{Setup::Idle, RightUp, false, Deliver, Idle, 0},
                      Row{Setup::Holding, RightUp, false, Swallow, Idle, 1},
                      Row{Setup::Snapped, RightUp, false, Swallow, Idle, 1},
                      Row{Setup::Idle, Move, false, Chain, Idle, 0},
                      Row{Setup::Holding, Move, false, Deliver, Holding, 1},
                      Row{Setup::Idle, Other, true, Chain, Idle, 0},
                      Row{Setup::Holding, Other, true, Chain, Holding, 0},
                      Row{Setup::Snapped, Other, true, Chain, Snapped, 0}));

TEST_F(MouseEvents, FirstDragStepMeasuresFromThePreviousDragsLastStep) {
    world.unit(8, 25);
    send(LeftDown, 605, 605);
    send(Move, 8, 0);  // the program's first drag: measured from (0, 0), so slow, and it snaps
    EXPECT_EQ(dragState, Snapped);
    send(LeftUp, 8, 0);
    send(LeftDown, 110, 112);
    send(Move, 300, 275);  // far from (8, 0): fast, so no snap although it lines up
    EXPECT_EQ(dragState, Holding);
    EXPECT_EQ(std::make_pair(held.drawX, held.drawY), std::make_pair(300, 275)) << "corner on the pointer";
    send(Move, 301, 275);
    EXPECT_EQ(dragState, Snapped);
}

// The difference of two far-apart points, and its square, do not fit in 32 bits.
TEST(TravelThreshold, MatchesTheSinglePrecisionRootAndNeverOverflows) {
    for (int32_t dx = -12; dx <= 12; ++dx) {
        for (int32_t dy = -12; dy <= 12; ++dy) {
            const float travel = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            EXPECT_EQ(isFastMove(100, 100, 100 + dx, 100 + dy), travel > 8.0f) << dx << ", " << dy;
        }
    }
    EXPECT_TRUE(isFastMove(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_TRUE(isFastMove(INT32_MAX, 0, INT32_MIN, 0));
}

}  // namespace
