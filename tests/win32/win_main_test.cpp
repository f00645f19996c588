#include <tuple>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "fake_win32.h"
#include "world/world.h"

namespace {

using WinMainTest = Win32Test;

TEST_F(WinMainTest, StartsUpPresentsTheWorldAndLoopsUntilQuitThenReturnsZero) {
    fake.queue = {std::nullopt, message(WM_QUIT, 7)};

    EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_HIDE), 0);

    Log expected = {
        call("LoadIconA", {fakeInstance, MAKEINTRESOURCEA(1)}),
        call("LoadIconA", {fakeInstance, MAKEINTRESOURCEA(1)}),
        call("LoadCursorA", {nullptr, IDC_ARROW}),
        call("CreateSolidBrush", {0xff00ff}),
        call("RegisterClassExA", {sizeof(WNDCLASSEXA), CS_OWNDC | CS_HREDRAW | CS_VREDRAW, &windowProc, 0, 0,
                                  fakeInstance, fakeIcon, fakeCursor, fakeBrush, nullptr, "Zimblet", fakeIcon}),
        call("CreateWindowExA", {0x80028, "Zimblet", "Zimblet", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1000, nullptr,
                                 nullptr, fakeInstance, nullptr}),
        call("GetModuleHandleA", {nullptr}),
        call("SetWindowsHookExA", {WH_KEYBOARD_LL, &keyboardHookProc, fakeModule, 0}),
        call("GetModuleHandleA", {nullptr}),
        call("SetWindowsHookExA", {WH_MOUSE_LL, &mouseHookProc, fakeModule, 0}),
        call("ShowWindow", {fakeWindow, SW_SHOWDEFAULT}),
        call("GetDC", {fakeWindow}),
        call("GetDC", {nullptr}),
        call("GetClipBox", {fakeScreenDC}),
        call("CreateCompatibleDC", {nullptr}),
        call("CreateDIBSection", {fakeMemoryDC, 40, 64, -48, 1, 32, BI_RGB, DIB_RGB_COLORS, nullptr, 0}),
        "GdiFlush",
    };
    const Log picture = presentationCalls(64, 48);  // presented empty, then with the world
    const std::string peek = call("PeekMessageA", {nullptr, 0, 0, PM_REMOVE});
    for (const Log& more : {picture, picture, Log{peek, "Sleep 1", peek, "Sleep 1"}}) {
        expected.insert(expected.end(), more.begin(), more.end());
    }
    EXPECT_EQ(fake.log, expected);
    EXPECT_GE(World.size(), 100u);
}

TEST_F(WinMainTest, StartUpFailureShowsItsBoxAndEndsWithoutPresentingOrLooping) {
    const std::string keyboardHook = call("SetWindowsHookExA", {WH_KEYBOARD_LL, &keyboardHookProc, fakeModule, 0});
    const std::string mouseHook = call("SetWindowsHookExA", {WH_MOUSE_LL, &mouseHookProc, fakeModule, 0});
    const std::string hookBox = call("MessageBoxA", {nullptr, "ok", "Unable to load function(s).", 0});
    const std::string surfaceBox = call("MessageBoxA", {nullptr, "Failed CreateCompatibleBitmap", "Error", 0});
    // lastCall: the call just before the box; keepsSize: the surface keeps width, height and stride.
    const struct { bool FakeWin32::*fail; std::string lastCall, box; bool keepsSize; } rows[] = {
        {&FakeWin32::failKeyboardHook, keyboardHook, hookBox, false},  // the mouse hook is not tried
        {&FakeWin32::failMouseHook, mouseHook, hookBox, false},
        {&FakeWin32::failMemoryDC, call("CreateCompatibleDC", {nullptr}), surfaceBox, true},
        {&FakeWin32::failDIBSection, call("DeleteDC", {fakeMemoryDC}), surfaceBox, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lastCall);
        TearDown();
        SetUp();
        fake.*row.fail = true;

        EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_SHOW), 0);

        EXPECT_FALSE(running);
        ASSERT_GE(fake.log.size(), 2u);
        EXPECT_EQ(Log(fake.log.end() - 2, fake.log.end()), (Log{row.lastCall, row.box})) << "nothing after the box";
        const DrawingSurface& s = overlayWindow.surface;
        const int kept = row.keepsSize ? 1 : 0;
        EXPECT_EQ(std::tuple(s.width, s.height, s.stride), std::tuple(64 * kept, 48 * kept, 256 * kept));
        EXPECT_EQ(std::tuple(s.memoryDC, s.bitmap, s.pixels, s.bitmapInfo.bmiHeader.biSize),
                  std::tuple(nullptr, nullptr, nullptr, 0u));
    }
}

}  // namespace
