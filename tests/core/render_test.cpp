#include <gtest/gtest.h>

#include <functional>

#include "recording_host.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

constexpr uint32_t transparent = 0;
constexpr uint32_t opaqueBlack = 0xFF000000;
constexpr uint32_t red = 0x1B28C4;        // COLORREF
constexpr uint32_t opaqueRed = 0xFFC4281B;  // as read back: alpha, red, green, blue
constexpr uint32_t white = 0xF2F3F2;
constexpr uint32_t opaqueWhite = 0xFFF2F3F2;

// Compares every pixel of the surface with the expectation, reporting the first few misses.
void expectSurface(const SurfacePixels& surface, const std::function<uint32_t(int, int)>& expected) {
    int misses = 0;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            const uint32_t want = expected(x, y);
            const uint32_t got = pixelAt(surface, x, y);
            if (want != got && ++misses <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): expected " << std::hex << want << " got " << got;
            }
        }
    }
    EXPECT_EQ(misses, 0);
}

bool inside(int x, int y, int x0, int y0, int x1, int y1) {
    return x0 <= x && x <= x1 && y0 <= y && y <= y1;
}

class Drawing : public ::testing::Test {
protected:
    void render(int width, int height) {
        resetRecordingHost(width, height);
        // Leftovers of a previous frame must be wiped.
        std::fill(recordingHost().memory.begin(), recordingHost().memory.end(), uint8_t{0x5A});
        renderScene(recordingHost().surface);
    }
    const SurfacePixels& surface() { return recordingHost().surface; }
    TestWorld world;
};

TEST_F(Drawing, EmptyWorldIsFullyTransparent) {
    render(40, 30);
    expectSurface(surface(), [](int, int) { return transparent; });
}

TEST_F(Drawing, LoneUnitHasBodyFrameAndStud) {
    world.unit(100, 100, red);
    render(200, 200);
    expectSurface(surface(), [](int x, int y) {
        if (inside(x, y, 103, 96, 111, 99)) return opaqueRed;  // stud
        if (y == 100 || y == 118) return inside(x, y, 100, 0, 115, 199) ? opaqueBlack : transparent;
        if (x == 100 || x == 115) return inside(x, y, 0, 100, 199, 118) ? opaqueBlack : transparent;
        return inside(x, y, 101, 101, 114, 117) ? opaqueRed : transparent;
    });
}

TEST_F(Drawing, TwoUnitBrickHasOneOutlineInEitherWorldOrder) {
    for (bool rightFirst : {true, false}) {
        SCOPED_TRACE(rightFirst ? "right unit first" : "left unit first");
        TestWorld local;
        BrickUnit& a = local.unit(rightFirst ? 115 : 100, 100, red);
        BrickUnit& b = local.unit(rightFirst ? 100 : 115, 100, red);
        BrickUnit& leftUnit = rightFirst ? b : a;
        BrickUnit& rightUnit = rightFirst ? a : b;
        leftUnit.right = &rightUnit;
        rightUnit.left = &leftUnit;
        render(200, 200);
        expectSurface(surface(), [](int x, int y) {
            if (inside(x, y, 103, 96, 111, 99) || inside(x, y, 118, 96, 126, 99)) return opaqueRed;
            if (!inside(x, y, 100, 100, 130, 118)) return transparent;
            if (y == 100 || y == 118 || x == 100 || x == 130) return opaqueBlack;
            return opaqueRed;  // column 115 included
        });
    }
}

TEST_F(Drawing, UnitWithSomethingAboveShowsNoStud) {
    BrickUnit& lower = world.unit(100, 100, red);
    BrickUnit& upper = world.unit(100, 82, white);
    stack(upper, lower);
    render(200, 200);
    // Upper stud above row 82; nothing of the lower stud shows over the upper body.
    EXPECT_EQ(pixelAt(surface(), 105, 80), opaqueWhite);
    EXPECT_EQ(pixelAt(surface(), 105, 99), opaqueWhite) << "lower stud drawn";
    EXPECT_EQ(pixelAt(surface(), 105, 100), opaqueBlack) << "shared row";
    EXPECT_EQ(pixelAt(surface(), 105, 110), opaqueRed);
}

TEST_F(Drawing, LaterUnitCoversEarlierOneStudAndFrameIncluded) {
    world.unit(100, 100, red);
    world.unit(108, 104, white);
    render(200, 200);
    EXPECT_EQ(pixelAt(surface(), 108, 110), opaqueBlack) << "later left edge over earlier body";
    EXPECT_EQ(pixelAt(surface(), 112, 101), opaqueWhite) << "later stud over earlier body";
    EXPECT_EQ(pixelAt(surface(), 110, 118), opaqueWhite) << "later body over earlier bottom edge";
}

TEST_F(Drawing, ClipsAtEveryEdgeWithoutWrapping) {
    struct Case {
        int32_t x, y;
    };
    // Each unit pokes out of one side of a 40 x 40 surface.
    for (Case c : {Case{-8, 10}, Case{30, 10}, Case{10, -10}, Case{10, 30}, Case{-8, -10}, Case{30, 30},
                   Case{-1000, 10}, Case{5000, 5000}}) {
        SCOPED_TRACE(testing::Message() << "unit at " << c.x << ", " << c.y);
        TestWorld local;
        local.unit(c.x, c.y, red);
        resetRecordingHost(40, 40);
        // Guard bytes around the pixel memory catch writes outside it.
        std::vector<uint8_t> guarded(40 * 40 * 4 + 2 * 4096, 0xEE);
        SurfacePixels view{40, 40, 160, guarded.data() + 4096};
        std::fill(view.pixels, view.pixels + 40 * 40 * 4, 0);
        renderScene(view);
        for (int i = 0; i < 4096; ++i) {
            ASSERT_EQ(guarded[static_cast<std::size_t>(i)], 0xEE);
            ASSERT_EQ(guarded[guarded.size() - 1 - static_cast<std::size_t>(i)], 0xEE);
        }
        expectSurface(view, [&](int x, int y) {
            // Off-surface studs may be truncated differently; on the surface they are x+3..x+11.
            const bool stud = inside(x, y, c.x + 3, c.y - 4, c.x + 11, c.y - 1);
            const bool frame = (y == c.y || y == c.y + 18) && inside(x, y, c.x, c.y, c.x + 15, c.y + 18);
            const bool side = (x == c.x || x == c.x + 15) && inside(x, y, c.x, c.y, c.x + 15, c.y + 18);
            if (frame || side) return opaqueBlack;
            if (inside(x, y, c.x, c.y, c.x + 15, c.y + 18) || stud) return opaqueRed;
            return transparent;
        });
    }
}

TEST_F(Drawing, StudOfAUnitAtMinus12ShowsOneColumnAtTheLeftEdge) {
    world.unit(-12, 10, red);
    render(20, 40);
    for (int y = 6; y <= 9; ++y) {
        EXPECT_EQ(pixelAt(surface(), 0, y), opaqueRed) << "row " << y;
        EXPECT_EQ(pixelAt(surface(), 1, y), transparent) << "row " << y;
    }
}

TEST_F(Drawing, SurfaceWithoutPixelMemoryIsNeverWritten) {
    world.unit(0, 0, red);
    SurfacePixels noMemory{1920, 1080, 7680, nullptr};
    renderScene(noMemory);  // must not crash or write
    putPixel(noMemory, 1, 1, red, 1.0f);
    fillBlock(noMemory, 0, 0, 10, 10, red, 1.0f);
    SUCCEED();
}

TEST(PixelWriter, PremultipliesAndTruncates) {
    resetRecordingHost(2, 1);
    SurfacePixels& surface = recordingHost().surface;
    putPixel(surface, 0, 0, 0x0080FF, 0.5f);  // red 255, green 128, blue 0
    EXPECT_EQ(pixelAt(surface, 0, 0), 0x7F7F4000u);
    putPixel(surface, 1, 0, red, 1.0f);
    EXPECT_EQ(pixelAt(surface, 1, 0), opaqueRed);
    fillBlock(surface, 1, 0, 0, 0, 0, 1.0f);  // x0 > x1: nothing
    EXPECT_EQ(pixelAt(surface, 1, 0), opaqueRed);
}

}  // namespace
