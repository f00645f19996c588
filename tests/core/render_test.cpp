#include <gtest/gtest.h>

#include <functional>

#include "test_world.h"
#include "render/redraw.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

constexpr uint32_t clear = 0, black = 0xFF000000;
constexpr uint32_t red = 0x1B28C4, opaqueRed = 0xFFC4281B;  // COLORREF, and as read back (ARGB)
constexpr uint32_t white = 0xF2F3F2, opaqueWhite = 0xFFF2F3F2;

bool inside(int x, int y, int x0, int y0, int x1, int y1) { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }

// A lone unit at (ux, uy): stud x+3..x+11 over rows y-4..y-1, frame, red body.
uint32_t loneUnit(int x, int y, int ux, int uy) {
    if (!inside(x, y, ux, uy, ux + 15, uy + 18)) return inside(x, y, ux + 3, uy - 4, ux + 11, uy - 1) ? opaqueRed : clear;
    return (x == ux || x == ux + 15 || y == uy || y == uy + 18) ? black : opaqueRed;
}

// Renders over leftovers of an earlier frame into a surface with guard bytes around it,
// and compares every pixel.
void expectRendered(int width, int height, const std::function<uint32_t(int, int)>& expected) {
    std::vector<uint8_t> memory(width * height * 4 + 2 * 4096, 0xEE);
    SurfacePixels surface{width, height, width * 4, memory.data() + 4096};
    std::fill(surface.pixels, surface.pixels + width * height * 4, uint8_t{0x5A});
    renderScene(surface);
    EXPECT_EQ(std::count(memory.begin(), memory.begin() + 4096, 0xEE) +
                  std::count(memory.end() - 4096, memory.end(), 0xEE), 8192) << "wrote outside the surface";
    int misses = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixelAt(surface, x, y) != expected(x, y) && ++misses <= 3)
                ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << pixelAt(surface, x, y);
    EXPECT_EQ(misses, 0);
}

TEST(Drawing, EmptyWorldAndALoneUnit) {
    TestWorld world;
    expectRendered(40, 30, [](int, int) { return clear; });
    world.unit(100, 100, red);
    expectRendered(200, 200, [](int x, int y) { return loneUnit(x, y, 100, 100); });
}

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
    EXPECT_EQ(pixelAt(surface, 105, 99), opaqueWhite) << "no stud under a unit above";
    EXPECT_EQ(pixelAt(surface, 105, 100), black);
    EXPECT_EQ(pixelAt(surface, 138, 110), black) << "later frame over earlier body";
    EXPECT_EQ(pixelAt(surface, 142, 101), opaqueWhite) << "later stud over earlier body";
    for (int y = 6; y <= 9; ++y) EXPECT_EQ(std::make_pair(pixelAt(surface, 0, y), pixelAt(surface, 1, y)),
                                           std::make_pair(opaqueRed, clear));
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
