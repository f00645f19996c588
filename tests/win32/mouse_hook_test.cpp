#include "app/win32/shell.h"
#include "fake_win32.h"
#include "interaction/drag_state.h"
#include "world/world.h"

namespace {

// Sends one mouse event at (x, y) through the hook as the system would.
LRESULT sendMouse(WPARAM message, LONG x, LONG y) {
    MSLLHOOKSTRUCT event{};
    event.pt = POINT{x, y};
    return mouseHookProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event));
}

struct IdleEventCase {
    const char* name;
    WPARAM message;
    bool chained;  // otherwise delivered with 0
};

const IdleEventCase idleEventCases[] = {
    {"LeftDownDelivered", WM_LBUTTONDOWN, false}, {"LeftUpDelivered", WM_LBUTTONUP, false},
    {"RightDownDelivered", WM_RBUTTONDOWN, false}, {"RightUpDelivered", WM_RBUTTONUP, false},
    {"MoveChained", WM_MOUSEMOVE, true},           {"WheelChained", WM_MOUSEWHEEL, true},
    {"MiddleDownChained", WM_MBUTTONDOWN, true},   {"ExtraDownChained", WM_XBUTTONDOWN, true},
};

class MouseHookIdleTest : public Win32Test, public ::testing::WithParamInterface<IdleEventCase> {};

TEST_P(MouseHookIdleTest, OnTheBareDesktopDeliversButtonsAndChainsTheRest) {
    MSLLHOOKSTRUCT event{};
    event.pt = POINT{40, 30};
    const LPARAM lParam = reinterpret_cast<LPARAM>(&event);

    const LRESULT result = mouseHookProc(3, GetParam().message, lParam);

    if (GetParam().chained) {
        EXPECT_EQ(result, chainedResult);
        ASSERT_EQ(fake.chained.size(), 1u);
        EXPECT_EQ(fake.chained[0].hook, nullptr);
        EXPECT_EQ(fake.chained[0].nCode, 3);
        EXPECT_EQ(fake.chained[0].wParam, GetParam().message);
        EXPECT_EQ(fake.chained[0].lParam, lParam);
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(fake.chained.empty());
    }
    EXPECT_EQ(dragState, DragState::Idle);
}

INSTANTIATE_TEST_SUITE_P(Events, MouseHookIdleTest, ::testing::ValuesIn(idleEventCases),
                         CaseName{});

class MouseHookDragTest : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        brick.x = brick.drawX = 100;
        brick.y = brick.drawY = 200;
        World.push_back(&brick);
    }
    void TearDown() override {
        World.clear();
        Win32Test::TearDown();
    }
    BrickUnit brick;
};

TEST_F(MouseHookDragTest, LeftDragSwallowsPressAndReleaseAndFollowsThePointer) {
    EXPECT_EQ(sendMouse(WM_LBUTTONDOWN, 105, 210), 1);
    EXPECT_EQ(grabbedUnit, &brick);

    EXPECT_EQ(sendMouse(WM_MOUSEMOVE, 300, 450), 0);
    EXPECT_EQ(brick.x, 300);
    EXPECT_EQ(brick.y, 450);
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 1) << "each drag step is presented";

    EXPECT_EQ(sendMouse(WM_LBUTTONUP, 300, 450), 1);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 2);
    EXPECT_TRUE(fake.chained.empty());
}

TEST_F(MouseHookDragTest, RightClickOnABrickIsSwallowedBothWays) {
    EXPECT_EQ(sendMouse(WM_RBUTTONDOWN, 115, 218), 1);
    EXPECT_EQ(sendMouse(WM_RBUTTONUP, 115, 218), 1);
    EXPECT_EQ(dragState, DragState::Idle);
    EXPECT_TRUE(fake.sounds.empty()) << "a lone brick has nothing to pull loose";
}

}  // namespace
