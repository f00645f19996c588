#include <algorithm>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "fake_win32.h"
#include "interaction/drag_state.h"

namespace {

using InitApplicationTest = Win32Test;

TEST_F(InitApplicationTest, RegistersTheWindowClass) {
    initApplication(fakeInstance);

    const WNDCLASSEXA& windowClass = fake.windowClass;
    EXPECT_EQ(windowClass.cbSize, sizeof(void*) == 8 ? 80u : 48u);  // the structure's size in this build
    EXPECT_EQ(windowClass.style, 0x23u);
    EXPECT_EQ(windowClass.lpfnWndProc, &windowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, fakeInstance);
    EXPECT_EQ(windowClass.hIcon, nullptr);
    EXPECT_EQ(windowClass.hIconSm, nullptr);
    EXPECT_EQ(windowClass.hCursor, fakeCursor);
    EXPECT_EQ(windowClass.hbrBackground, fakeBrush);
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(fake.registeredClassName, "Zimblet");

    using Load = std::pair<HINSTANCE, const char*>;
    EXPECT_EQ(fake.iconLoads, (std::vector<Load>{{fakeInstance, MAKEINTRESOURCEA(1)}, {fakeInstance, MAKEINTRESOURCEA(1)}}));
    EXPECT_EQ(fake.cursorLoads, (std::vector<Load>{{nullptr, IDC_ARROW}}));
    EXPECT_EQ(fake.brushes, std::vector<COLORREF>{0xff00ff});
}

TEST_F(InitApplicationTest, CreatesTheLayeredClickThroughTopmostPopup) {
    initApplication(fakeInstance);

    ASSERT_EQ(fake.windows.size(), 1u);
    const CreateWindowCall& window = fake.windows[0];
    EXPECT_EQ(window.exStyle, 0x80028u);
    EXPECT_EQ(window.className, "Zimblet");
    EXPECT_EQ(window.windowName, "Zimblet");
    EXPECT_EQ(window.style, 0x90000000u);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 1000);
    EXPECT_EQ(window.parent, nullptr);
    EXPECT_EQ(window.menu, nullptr);
    EXPECT_EQ(window.instance, fakeInstance);
    EXPECT_EQ(window.parameter, nullptr);
    EXPECT_EQ(overlayWindow.window, fakeWindow);
}

TEST_F(InitApplicationTest, InstallsKeyboardThenMouseHookForAllThreads) {
    initApplication(fakeInstance);

    ASSERT_EQ(fake.hooks.size(), 2u);
    EXPECT_EQ(fake.hooks[0].idHook, WH_KEYBOARD_LL);
    EXPECT_EQ(fake.hooks[0].proc, &keyboardHookProc);
    EXPECT_EQ(fake.hooks[1].idHook, WH_MOUSE_LL);
    EXPECT_EQ(fake.hooks[1].proc, &mouseHookProc);
    for (const HookCall& hook : fake.hooks) {
        EXPECT_EQ(hook.module, fakeModule);
        EXPECT_EQ(hook.threadId, 0u);
    }
    EXPECT_EQ(fake.moduleNames, (std::vector<const char*>{nullptr, nullptr}));
    // One module handle fetched for each hook, just before it.
    const auto first = std::find(fake.calls.begin(), fake.calls.end(), "GetModuleHandleA");
    ASSERT_NE(first, fake.calls.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 4),
              (std::vector<std::string>{"GetModuleHandleA", "SetWindowsHookExA", "GetModuleHandleA",
                                        "SetWindowsHookExA"}));
}

TEST_F(InitApplicationTest, MeasuresTheScreenAndPresentsAnEmptyPicture) {
    swallowRightUp = true;
    fake.clipBox = RECT{10, 20, 650, 500};

    initApplication(fakeInstance);

    EXPECT_TRUE(running);
    EXPECT_FALSE(swallowRightUp);
    EXPECT_EQ(fake.showCommands, std::vector<int>{SW_SHOWDEFAULT});
    EXPECT_EQ(overlayWindow.windowDC, fakeWindowDC);
    EXPECT_EQ(fake.count("GetClipBox screen"), 1);
    EXPECT_EQ(overlayWindow.screenWidth, 640);
    EXPECT_EQ(overlayWindow.screenHeight, 480);
    EXPECT_EQ(overlayWindow.surface.width, 640);
    EXPECT_EQ(overlayWindow.surface.height, 480);
    EXPECT_EQ(fake.dibInfo.bmiHeader.biHeight, -480);

    ASSERT_EQ(fake.updates.size(), 1u);
    EXPECT_EQ(fake.updates[0].size.cx, 640);
    EXPECT_EQ(fake.updates[0].size.cy, 480);
    EXPECT_TRUE(std::all_of(fake.dibMemory.begin(), fake.dibMemory.end(), [](uint8_t b) { return b == 0; }))
        << "the first picture is fully transparent";
    EXPECT_TRUE(fake.boxes.empty());
}

struct HookFailureCase {
    const char* name;
    bool failKeyboard;
    bool failMouse;
    size_t hooksTried;
};

class HookFailureTest : public Win32Test, public ::testing::WithParamInterface<HookFailureCase> {};

TEST_P(HookFailureTest, ShowsTheBoxAndStopsStartUp) {
    fake.failKeyboardHook = GetParam().failKeyboard;
    fake.failMouseHook = GetParam().failMouse;

    initApplication(fakeInstance);

    EXPECT_EQ(fake.hooks.size(), GetParam().hooksTried);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, "ok");
    EXPECT_EQ(fake.boxes[0].caption, "Unable to load function(s).");
    EXPECT_EQ(fake.boxes[0].type, 0u);
    EXPECT_FALSE(running);
    EXPECT_EQ(fake.count("CreateWindowExA"), 1) << "the window stays";
    for (const char* skipped : {"ShowWindow", "GetDC", "GetClipBox screen", "CreateCompatibleDC", "UpdateLayeredWindow"}) {
        EXPECT_EQ(fake.count(skipped), 0) << skipped;
    }
}

INSTANTIATE_TEST_SUITE_P(Hooks, HookFailureTest,
                         ::testing::Values(HookFailureCase{"KeyboardSkipsMouse", true, false, 1},
                                           HookFailureCase{"Mouse", false, true, 2}),
                         CaseName{});

struct SurfaceFailureCase {
    const char* name;
    bool failMemoryDC;
    bool failDIBSection;
};

class SurfaceFailureTest : public Win32Test, public ::testing::WithParamInterface<SurfaceFailureCase> {};

TEST_P(SurfaceFailureTest, ShowsTheBoxAndEndsBeforeThePicture) {
    fake.failMemoryDC = GetParam().failMemoryDC;
    fake.failDIBSection = GetParam().failDIBSection;

    initApplication(fakeInstance);

    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, "Failed CreateCompatibleBitmap");
    EXPECT_EQ(fake.boxes[0].caption, "Error");
    EXPECT_EQ(fake.boxes[0].type, 0u);
    EXPECT_FALSE(running);
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 0);
    EXPECT_EQ(fake.hooks.size(), 2u) << "the hooks were installed before";
}

INSTANTIATE_TEST_SUITE_P(Surface, SurfaceFailureTest,
                         ::testing::Values(SurfaceFailureCase{"NoMemoryDC", true, false},
                                           SurfaceFailureCase{"NoDIBSection", false, true}),
                         CaseName{});

}  // namespace
