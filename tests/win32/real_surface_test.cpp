// The drawing surface against the real GDI (Wine's, when cross-built).
#include <gtest/gtest.h>

#include <cstring>

#include "app/win32/drawing_surface.h"

namespace {

TEST(RealSurfaceTest, RowZeroIsTheTopRowAndBytesAreBlueGreenRedAlpha) {
    DrawingSurface surface{};
    ASSERT_TRUE(createSurface(surface, 5, 4));
    ASSERT_NE(surface.pixels, nullptr);
    EXPECT_EQ(surface.stride, 20);

    // Column 2 of the first and of the last row in memory.
    std::memcpy(surface.pixels + 4 * 2, "\x30\x20\x10\xff", 4);
    std::memcpy(surface.pixels + 3 * surface.stride + 4 * 2, "\x60\x50\x40\xff", 4);
    GdiFlush();
    HGDIOBJ previous = SelectObject(surface.memoryDC, surface.bitmap);
    EXPECT_EQ(GetPixel(surface.memoryDC, 2, 0), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetPixel(surface.memoryDC, 2, 3), RGB(0x40, 0x50, 0x60));
    SelectObject(surface.memoryDC, previous);

    freeSurface(surface);
    EXPECT_EQ(surface.pixels, nullptr);
    EXPECT_EQ(surface.memoryDC, nullptr);
}

}  // namespace
