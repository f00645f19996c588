#include <gtest/gtest.h>

#include "render/redraw.h"
#include "render/scene.h"
#include "render/screen_scale.h"
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

// A logical image whose pixel (x, y) holds 100 x y + x + 1, for telling pixels apart.
struct NumberedImage {
    explicit NumberedImage(int32_t width, int32_t height) : words(size_t(width) * height) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) words[size_t(y) * width + x] = uint32_t(100 * y + x + 1);
        image = SurfacePixels{width, height, 4 * width, reinterpret_cast<uint8_t*>(words.data())};
    }
    uint32_t at(int32_t x, int32_t y) const { return words[size_t(y) * image.width + x]; }
    std::vector<uint32_t> words;
    SurfacePixels image;
};

TEST(ScreenScale, BlocksOfDevicePixelsFromTheOutputsCorner) {
    const NumberedImage logical(8, 6);
    NumberedImage device(7, 5);  // an output whose corner is logical 4,3, at scale 2: it shows 4..7 x 3..5
    std::vector<uint32_t> before = device.words;
    copyScaled(logical.image, PixelRect{5, 2, 20, 4}, 240, 4, 3, device.image);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            const bool shown = x >= 2 && y < 2;  // logical columns 5.. of row 3 only
            EXPECT_EQ(device.at(x, y), shown ? logical.at(4 + x / 2, 3) : before[size_t(y) * 7 + x]) << x << "," << y;
        }
    EXPECT_EQ(toLogical(-1, 240), -1);  // left of an output's corner rounds down, as a drag there needs
    EXPECT_EQ(toDevice(PixelRect{-3, 1, 3, 2}, 180), (PixelRect{-4, 2, 5, 3}));
}

TEST(ScreenScale, OneAndAHalfAlternatesWideAndNarrowColumns) {
    const NumberedImage logical(4, 2);
    NumberedImage device(6, 3);
    copyScaled(logical.image, PixelRect{0, 0, 4, 2}, 180, 0, 0, device.image);
    const uint32_t widths[] = {1, 1, 2, 3, 3, 4};
    for (int32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(device.at(x, 0), widths[x]);
        EXPECT_EQ(device.at(x, 1), widths[x]);
        EXPECT_EQ(device.at(x, 2), widths[x] + 100);
    }
}
