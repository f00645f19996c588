#include <tuple>

#include "app/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "fake_win32.h"

namespace {

using Win32HostTest = Win32Test;

TEST_F(Win32HostTest, PresentationFailureShowsOneBoxAtATimeWithTheErrorInLowerCaseHex) {
    overlayWindow.window = fakeWindow;
    overlayWindow.surface = DrawingSurface{320, 200, 1280, fakeMemoryDC, fakeBitmap, {}, nullptr};
    fake.failLayeredUpdate = true;
    const struct { DWORD error; const char* text; } rows[] = {{0x5, "Failed to update window: 0x5"},
                {0xABCDEF, "Failed to update window: 0xabcdef"},
                {0x8007000e, "Failed to update window: 0x8007000e"}};
    for (const auto& row : rows) {
        fake.lastError = row.error;
        fake.log.clear();

        presentSurface(overlayWindow);

        Log expected = presentationCalls(320, 200);  // the selection is restored after the box
        expected.insert(expected.end() - 1, {"GetLastError", call("MessageBoxA", {nullptr, row.text, "Error", 0})});
        EXPECT_EQ(fake.log, expected);
    }

    // Drag steps keep presenting inside the box's modal loop: no box opens inside it.
    int nested = 0;
    fake.onMessageBox = [&] {
        while (nested < 3) {
            ++nested;
            presentSurface(overlayWindow);
        }
    };
    fake.log.clear();
    presentSurface(overlayWindow);
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 4);
    EXPECT_EQ(fake.count("MessageBoxA"), 1);

    presentSurface(overlayWindow);
    EXPECT_EQ(fake.count("MessageBoxA"), 2) << "reported again once the box is dismissed";
}

TEST_F(Win32HostTest, ViewsPresentsAndPlays) {
    overlayWindow.window = fakeWindow;
    ASSERT_TRUE(createSurface(overlayWindow.surface, 33, 21));
    const SurfacePixels& view = hostSurface();
    EXPECT_EQ(std::tuple(view.width, view.height, view.stride, view.pixels),
              std::tuple(33, 21, 132, fake.dibMemory.data()));
    fake.log.clear();
    hostPresentSurface();
    EXPECT_EQ(fake.log, presentationCalls(33, 21));

    fake.failMemoryDC = true;  // no pixel memory: the drawing sees an empty surface
    ASSERT_FALSE(createSurface(overlayWindow.surface, 640, 480));
    EXPECT_EQ(std::tuple(hostSurface().width, hostSurface().height, hostSurface().pixels), std::tuple(0, 0, nullptr));

    fake.log.clear();
    running = false;  // start-up failed: nothing more is presented
    hostPresentSurface();
    hostPlaySound("Sounds\\detach3.wav");
    EXPECT_EQ(fake.log, Log{call("PlaySoundA", {"Sounds\\detach3.wav", nullptr, 0x20001})});
}

}  // namespace
