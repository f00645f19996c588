// The drawing surface against the real GDI (Wine's, when cross-built).
#include <gtest/gtest.h>

#include <cstring>

#include "app/win32/drawing_surface.h"
#include "app/win32/win32_api.h"

namespace {

TEST(RealSurfaceTest, RowZeroIsTheTopRowAndBytesAreBlueGreenRedAlpha) {
    DrawingSurface surface{};
    ASSERT_TRUE(createSurface(surface, 5, 4));
    ASSERT_NE(surface.pixels, nullptr);
    EXPECT_EQ(surface.stride, 20);

    // Column 2 of the first and of the last row in memory, blue, green, red, alpha.
    const uint8_t top[4] = {0x30, 0x20, 0x10, 0xff};
    const uint8_t bottom[4] = {0x60, 0x50, 0x40, 0xff};
    std::memcpy(surface.pixels + 0 * surface.stride + 4 * 2, top, 4);
    std::memcpy(surface.pixels + 3 * surface.stride + 4 * 2, bottom, 4);
    win32.GdiFlush();

    HGDIOBJ previous = win32.SelectObject(surface.memoryDC, surface.bitmap);
    EXPECT_EQ(GetPixel(surface.memoryDC, 2, 0), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetPixel(surface.memoryDC, 2, 3), RGB(0x40, 0x50, 0x60));
    win32.SelectObject(surface.memoryDC, previous);

    freeSurface(surface);
    EXPECT_EQ(surface.pixels, nullptr);
    EXPECT_EQ(surface.memoryDC, nullptr);
}

}  // namespace
