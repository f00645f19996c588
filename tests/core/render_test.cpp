#include <gtest/gtest.h>

#include "render/redraw.h"
#include "render/scene.h"
#include "test_world.h"
#include "world/world.h"

namespace {

constexpr uint32_t clear = 0, black = 0xFF000000;
constexpr uint32_t red = 0x1B28C4, opaqueRed = 0xFFC4281B;  // COLORREF, and as read back (ARGB)
constexpr uint32_t white = 0xF2F3F2, opaqueWhite = 0xFFF2F3F2;

TEST(Drawing, StudsOverlapsAndTheStudColumnAtMinus12) {
    TestWorld world;
    BrickUnit& lower = world.unit(100, 100, red);
    BrickUnit& upper = world.unit(100, 82, white);
    stack(upper, lower);
    world.unit(130, 100, red);
    world.unit(138, 104, white);  // later, over the earlier red unit
    world.unit(-12, 10, red);
    resetMemoryHost(200, 200);
    SurfacePixels& surface = memoryHost().surface;
    renderScene(surface);
    // A stud covers x + 3.75 to x + 11.25 and y - 3.75 to y - 1, truncated toward zero; none under a
    // unit above; a lone unit's frame on all four sides; later units over earlier ones.
    for (auto [x, y, expected] : {std::tuple{102, 81, clear}, {103, 78, opaqueWhite}, {111, 81, opaqueWhite},
                                  {112, 81, clear}, {103, 77, clear}, {105, 99, opaqueWhite}, {105, 100, black},
                                  {115, 110, black}, {138, 110, black}, {142, 101, opaqueWhite}, {0, 6, opaqueRed},
                                  {0, 9, opaqueRed}, {1, 9, clear}, {0, 5, clear}}) {
        EXPECT_EQ(pixelAt(surface, x, y), expected) << x << ", " << y;
    }
}

TEST(Drawing, NeverWritesWithoutPixelMemory) {
    TestWorld world;
    world.unit(0, 0, red);
    SurfacePixels noMemory{1920, 1080, 7680, nullptr};
    renderScene(noMemory);
}

// A unit moved along a row, then far away, then left alone: the host is given its
// old and new rectangles (stud rows included), as one where they meet, and nothing.
TEST(Redraw, PresentsOnlyWhereTheUnitWasAndIs) {
    TestWorld world;
    BrickUnit& unit = world.unit(100, 100);
    resetMemoryHost(400, 300);
    showWholeScene();
    const DirtyRegion& region = memoryHost().lastRegion;
    const auto rects = [&region] { return std::vector<PixelRect>(region.rects, region.rects + region.count); };
    EXPECT_EQ(rects(), std::vector<PixelRect>({{0, 0, 400, 300}}));
    for (auto [x, y, expected] :
         {std::tuple{110, 100, std::vector<PixelRect>{{100, 96, 126, 119}}},
          {300, 200, std::vector<PixelRect>{{110, 96, 126, 119}, {300, 196, 316, 219}}},
          {300, 200, std::vector<PixelRect>{}}}) {
        unit.x = unit.drawX = x;
        unit.y = unit.drawY = y;
        redrawScene();
        EXPECT_EQ(rects(), expected) << x << ", " << y;
    }
}

}  // namespace
