#include "app/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "fake_win32.h"

namespace {

using Win32HostTest = Win32Test;

TEST_F(Win32HostTest, SurfaceIsAViewOfTheDIBSection) {
    ASSERT_TRUE(createSurface(overlayWindow.surface, 33, 21));

    const SurfacePixels& view = hostSurface();

    EXPECT_EQ(view.width, 33);
    EXPECT_EQ(view.height, 21);
    EXPECT_EQ(view.stride, 132);
    EXPECT_EQ(view.pixels, fake.dibMemory.data());
}

TEST_F(Win32HostTest, SurfaceWithoutPixelMemoryIsEmptyToTheDrawing) {
    fake.failMemoryDC = true;
    ASSERT_FALSE(createSurface(overlayWindow.surface, 640, 480));
    ASSERT_EQ(overlayWindow.surface.width, 640);

    const SurfacePixels& view = hostSurface();

    EXPECT_EQ(view.width, 0);
    EXPECT_EQ(view.height, 0);
    EXPECT_EQ(view.pixels, nullptr);
}

TEST_F(Win32HostTest, PresentShowsTheOverlaySurface) {
    overlayWindow.window = fakeWindow;
    ASSERT_TRUE(createSurface(overlayWindow.surface, 8, 8));

    hostPresentSurface();

    ASSERT_EQ(fake.updates.size(), 1u);
    EXPECT_EQ(fake.updates[0].window, fakeWindow);
    EXPECT_EQ(fake.updates[0].sourceDC, fakeMemoryDC);
}

TEST_F(Win32HostTest, NothingIsPresentedAfterAFailedStart) {
    fake.failMemoryDC = true;
    ASSERT_FALSE(createSurface(overlayWindow.surface, 8, 8));
    running = false;

    hostPresentSurface();

    EXPECT_TRUE(fake.updates.empty());
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(Win32HostTest, PlaysTheFileAsynchronously) {
    hostPlaySound("Sounds\\detach3.wav");

    EXPECT_EQ(fake.sounds, std::vector<std::string>{"Sounds\\detach3.wav"});
    EXPECT_EQ(fake.soundModules, std::vector<HMODULE>{nullptr});
    EXPECT_EQ(fake.soundFlags, std::vector<DWORD>{0x20001});
}

}  // namespace
