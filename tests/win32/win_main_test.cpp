#include <algorithm>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "fake_win32.h"
#include "world/world.h"

namespace {

MSG quitMessage(WPARAM code) {
    MSG message{};
    message.message = WM_QUIT;
    message.wParam = code;
    return message;
}

using WinMainTest = Win32Test;

TEST_F(WinMainTest, RunsUntilQuitAndReturnsZeroNotTheQuitCode) {
    fake.queue = {std::nullopt, quitMessage(7)};
    fake.clipBox = RECT{0, 0, 1024, 768};  // wide enough for every scattered brick

    EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_HIDE), 0);

    EXPECT_GE(World.size(), 100u) << "the world was created before the loop";
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 2) << "the empty picture, then the bricks";
    EXPECT_EQ(fake.messageLoopPasses, 2);
    EXPECT_EQ(fake.showCommands, std::vector<int>{SW_SHOWDEFAULT}) << "the passed show command is ignored";
    EXPECT_TRUE(std::any_of(fake.dibMemory.begin(), fake.dibMemory.end(), [](uint8_t b) { return b != 0; }));
}

TEST_F(WinMainTest, AfterAHookFailureCreatesTheWorldButEntersNoLoop) {
    fake.failMouseHook = true;

    EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_SHOW), 0);

    EXPECT_GE(World.size(), 100u);
    EXPECT_EQ(fake.count("PeekMessageA"), 0);
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes[0].caption, "Unable to load function(s).");
}

struct SurfaceFailureCase {
    const char* name;
    bool failMemoryDC;
    bool failDIBSection;
};

class WinMainSurfaceFailureTest : public Win32Test, public ::testing::WithParamInterface<SurfaceFailureCase> {};

// The bricks are drawn into a surface with no pixel memory: nothing may be written.
TEST_P(WinMainSurfaceFailureTest, EndsAfterCreatingTheWorldWithoutDrawingOrLooping) {
    fake.failMemoryDC = GetParam().failMemoryDC;
    fake.failDIBSection = GetParam().failDIBSection;

    EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_SHOW), 0);

    EXPECT_GE(World.size(), 100u);
    EXPECT_EQ(fake.count("PeekMessageA"), 0);
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes[0].text, "Failed CreateCompatibleBitmap");
}

INSTANTIATE_TEST_SUITE_P(Surface, WinMainSurfaceFailureTest,
                         ::testing::Values(SurfaceFailureCase{"NoMemoryDC", true, false},
                                           SurfaceFailureCase{"NoDIBSection", false, true}),
                         CaseName{});

}  // namespace
