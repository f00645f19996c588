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

struct RunsCase {
    const char* name;
    std::vector<std::string> rows;
    PixelRect band;
    int capacity;
    int stopsAt;
    std::vector<PixelRect> rects;
};

TEST(ShapeRects, OpaqueRunsTable) {
    const std::vector<std::string> twoBricks = {
        "..........",
        ".###..##..",
        ".###..##..",
        ".###......",
        "..........",
        ".###..##..",
    };
    const RunsCase cases[] = {
        {"nothing opaque", {"....", "...."}, {0, 0, 4, 2}, 16, 2, {}},
        {"rows with the same runs share a rectangle; a change starts a new band", twoBricks, {0, 0, 10, 6}, 16, 6,
         {{1, 1, 4, 3}, {6, 1, 8, 3}, {1, 3, 4, 4}, {1, 5, 4, 6}, {6, 5, 8, 6}}},
        {"an empty row in between keeps equal rows apart", {"##", "..", "##"}, {0, 0, 2, 3}, 16, 3,
         {{0, 0, 2, 1}, {0, 2, 2, 3}}},
        {"the band cuts runs at its sides and rows", twoBricks, {2, 2, 7, 4}, 16, 4,
         {{2, 2, 4, 3}, {6, 2, 7, 3}, {2, 3, 4, 4}}},
        {"a run reaching the right edge", {"..##", "..##"}, {0, 0, 4, 2}, 16, 2, {{2, 0, 4, 2}}},
        {"a row that does not fit is left whole for the next call", twoBricks, {0, 0, 10, 6}, 4, 5,
         {{1, 1, 4, 3}, {6, 1, 8, 3}, {1, 3, 4, 4}}},
        {"the first row's runs not fitting: nothing written", {"#.#.#"}, {0, 0, 5, 1}, 2, 0, {}},
    };
    for (const RunsCase& c : cases) {
        SCOPED_TRACE(c.name);
        SmallList small(c.capacity);
        EXPECT_EQ(collectOpaqueRuns(textSurface(c.rows), c.band, small.list), c.stopsAt);
        EXPECT_EQ(small.rects(), c.rects);
    }
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
    TestWorld world;
    resetMemoryHost(640, 480);
    std::srand(1);
    createWorld();
    world.adoptCreatedWorld();
    showWholeScene();
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
