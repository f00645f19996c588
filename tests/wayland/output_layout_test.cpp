// The outputs' layout: the picture's box and shift, each output's part and scale, the primary.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "app/wayland/output_layout.h"

void PrintTo(const PixelRect& r, std::ostream* out) {
    *out << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
}

void PrintTo(const OutputFit& f, std::ostream* out) {
    *out << f.per120 << "/120: " << f.deviceWidth << "x" << f.deviceHeight << " buffer scale " << f.bufferScale
         << " viewport " << f.viewportWidth << "x" << f.viewportHeight;
}

namespace {

OutputPlace shown(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t announced) {
    return OutputPlace{x, y, width, height, announced, 1, 0, true};
}

struct LayoutRow {
    const char* what;
    PixelRect previous;
    std::vector<OutputPlace> places;
    PixelRect box;
    int32_t shiftX;
    int32_t shiftY;
    std::vector<PixelRect> parts;
    int32_t primary;
};

TEST(OutputLayout, BoxShiftPartsAndPrimary) {
    const OutputPlace gone{-1280, 0, 1280, 1024, 1, 1, 0, false};
    const LayoutRow rows[] = {
        {"two side by side", {}, {shown(0, 0, 1024, 768, 1), shown(1024, 0, 1280, 1024, 2)}, {0, 0, 2304, 1024}, 0,
         0, {{0, 0, 1024, 768}, {1024, 0, 2304, 1024}}, 0},
        {"one more left of and above the first: the box grows, what lay in it moves, the new one is primary",
         {0, 0, 1024, 768}, {shown(0, 0, 1024, 768, 1), shown(-1280, -256, 1280, 1024, 2)},
         {-1280, -256, 1024, 768}, 1280, 256, {{1280, 256, 2304, 1024}, {0, 0, 1280, 1024}}, 1},
        {"the one at the corner gone: the box keeps its size, the other is primary", {-1280, 0, 1024, 1024},
         {gone, shown(0, 0, 1024, 768, 2)}, {-1280, 0, 1024, 1024}, 0, 0, {{}, {1280, 0, 2304, 768}}, 1},
        {"none at the corner: the first announced", {},
         {shown(100, 100, 800, 600, 2), shown(900, 0, 800, 600, 3), shown(1700, 50, 800, 600, 1)},
         {100, 0, 2500, 700}, 0, 0, {{0, 100, 800, 700}, {800, 0, 1600, 600}, {1600, 50, 2400, 650}}, 2},
        {"none configured", {}, {gone}, {}, 0, 0, {{}}, -1},
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(row.what);
        const OutputLayout layout = layOutOutputs(row.places, grownBox(row.places, row.previous), row.previous);
        EXPECT_EQ(layout.box, row.box);
        EXPECT_EQ(layout.shiftX, row.shiftX);
        EXPECT_EQ(layout.shiftY, row.shiftY);
        for (std::size_t i = 0; i < row.parts.size(); ++i) EXPECT_EQ(layout.parts[i], row.parts[i]) << "output " << i;
        EXPECT_EQ(layout.primary, row.primary);
    }
}

// Three 1024x768 surfaces side by side, each at its output's scale.
TEST(OutputLayout, EachOutputAtItsScale) {
    const struct {
        const char* what;
        int32_t scale;
        int32_t preferred120;
        OutputFit fit;
    } rows[] = {
        {"scale 1", 1, 0, {120, 1024, 768, 1, -1, -1}},
        {"scale 2: the buffer scale", 2, 0, {240, 2048, 1536, 2, -1, -1}},
        {"1.5 preferred where the output says 2: a viewport", 2, 180, {180, 1536, 1152, 1, 1024, 768}},
        {"a whole preferred scale: the buffer scale", 1, 240, {240, 2048, 1536, 2, -1, -1}},
        {"an output that says 0 is at 1", 0, 0, {120, 1024, 768, 1, -1, -1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(fitOutput(OutputPlace{0, 0, 1024, 768, 1, row.scale, row.preferred120, true}), row.fit);
    }
}

}  // namespace
