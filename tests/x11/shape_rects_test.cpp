// The shape rectangles of the X11 window, worked out without a display: the
// bounding shape must cover exactly the pixels with alpha > 0, the input shape
// exactly where the hit test finds a unit, whatever band is asked for.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/x11/shape_rects.h"
#include "render/redraw.h"
#include "test_world.h"
#include "world/world.h"

namespace {

// Draws rows of text into the host's surface: '#' an opaque pixel, anything else clear.
const SurfacePixels& textSurface(const std::vector<std::string>& rows) {
    const std::size_t width = rows[0].size();
    resetMemoryHost(static_cast<int>(width), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            if (rows[y][x] == '#') memoryHost().memory[(y * width + x) * 4 + 3] = 0xFF;
        }
    }
    return memoryHost().surface;
}

// A list over our own storage, with the four free slots in front.
struct SmallList {
    std::vector<ShapeRect> storage;
    ShapeRects list;

    explicit SmallList(int capacity) : storage(static_cast<std::size_t>(capacity + ShapeRects::frontSlots)) {
        list.rects = storage.data() + ShapeRects::frontSlots;
        list.capacity = capacity;
    }
    std::vector<PixelRect> rects() const {
        std::vector<PixelRect> out;
        for (int i = 0; i < list.count; ++i) {
            const ShapeRect& r = list.rects[i];
            out.push_back(PixelRect{r.x, r.y, r.x + r.width, r.y + r.height});
        }
        return out;
    }
};

// Rows with the same runs share a rectangle, also for a run that reaches the right edge;
// a change of runs starts a new band, and a row whose runs do not fit is left whole for
// the next call.
TEST(ShapeRects, OpaqueRunsShareRectanglesAndResumeAtARowThatDoesNotFit) {
    SmallList small(16);
    EXPECT_EQ(collectOpaqueRuns(textSurface({"..##", "..##"}), PixelRect{0, 0, 4, 2}, small.list), 2);
    EXPECT_EQ(small.rects(), (std::vector<PixelRect>{{2, 0, 4, 2}}));
    const std::vector<std::string> twoBricks = {
        "..........",
        ".###..##..",
        ".###..##..",
        ".###......",
        "..........",
        ".###..##..",
    };
    SmallList four(4);
    EXPECT_EQ(collectOpaqueRuns(textSurface(twoBricks), PixelRect{0, 0, 10, 6}, four.list), 5);
    EXPECT_EQ(four.rects(), (std::vector<PixelRect>{{1, 1, 4, 3}, {6, 1, 8, 3}, {1, 3, 4, 4}}));
}

TEST(ShapeRects, HitRectanglesClippedToTheBand) {
    TestWorld world;
    world.unit(10, 10);
    world.unit(100, 40);
    world.unit(-5, 0);  // reaches into the surface from the left
    for (auto [band, capacity, fits, rects] :
         {std::tuple{PixelRect{0, 0, 200, 100}, 8, true,
                     std::vector<PixelRect>{{10, 10, 26, 29}, {100, 40, 116, 59}, {0, 0, 11, 19}}},
          {PixelRect{20, 20, 105, 45}, 8, true, std::vector<PixelRect>{{20, 20, 26, 29}, {100, 40, 105, 45}}},
          {PixelRect{0, 0, 200, 100}, 2, false, std::vector<PixelRect>{{10, 10, 26, 29}, {100, 40, 116, 59}}}}) {
        SmallList small(capacity);
        EXPECT_EQ(collectHitRects(band, small.list), fits);
        EXPECT_EQ(small.rects(), rects);
    }
}

// Coverage of the whole start world in random bands, list sizes forcing resumes:
// the rectangles are YX-banded, never overlap, and cover exactly the opaque pixels.
TEST(ShapeRects, RunsCoverExactlyTheOpaquePixelsOfTheStartWorld) {
    TestWorld world(640, 480);
    const SurfacePixels& surface = memoryHost().surface;

    std::srand(7);
    for (int round = 0; round < 40; ++round) {
        const int left = std::rand() % 600, top = std::rand() % 440;
        const PixelRect band{left, top, left + 1 + std::rand() % (640 - left), top + 1 + std::rand() % (480 - top)};
        SmallList small(round % 2 == 0 ? 16384 : 700);
        std::vector<int> covered(640 * 480, 0);
        for (int row = band.top; row < band.bottom;) {
            small.list.count = 0;
            const int stop = collectOpaqueRuns(surface, PixelRect{band.left, row, band.right, band.bottom}, small.list);
            ASSERT_GT(stop, row) << "no progress";
            const std::vector<PixelRect> rects = small.rects();
            for (std::size_t i = 0; i < rects.size(); ++i) {
                const PixelRect& r = rects[i];
                ASSERT_TRUE(r.top >= row && r.bottom <= stop && r.left >= band.left && r.right <= band.right);
                if (i > 0) {  // YX-banded: by band then by x; one band, one height
                    const PixelRect& p = rects[i - 1];
                    ASSERT_TRUE(p.top < r.top || (p.top == r.top && p.bottom == r.bottom && p.right < r.left));
                    ASSERT_TRUE(p.top == r.top || p.bottom <= r.top);
                }
                for (int y = r.top; y < r.bottom; ++y)
                    for (int x = r.left; x < r.right; ++x) ++covered[y * 640 + x];
            }
            row = stop;
        }
        int wrong = 0;
        for (int y = band.top; y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x)
                wrong += covered[y * 640 + x] != ((pixelAt(surface, x, y) >> 24) != 0 ? 1 : 0);
        EXPECT_EQ(wrong, 0) << "band " << band.left << "," << band.top << " to " << band.right << "," << band.bottom;
    }
}

}  // namespace
