#include "brick_builds.h"

#include <algorithm>
#include <deque>

#include "render/scene.h"
#include "world/world.h"

namespace {

// Far enough from the scratch surface's top-left corner that studs never meet its edge.
constexpr int32_t scratchMargin = 8;
constexpr int32_t scratchLayers = 4;
constexpr int32_t scratchStuds = 8;

uint8_t unpremultiply(uint8_t channel, uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<uint8_t>((channel * 255 + alpha / 2) / alpha);
}

// Links the units as the game does when it attaches: left and right within a brick,
// above and below where a unit stands one pitch over another in the same column.
void linkUnits(std::deque<BrickUnit>& units, const std::vector<std::size_t>& brickOf) {
    for (std::size_t a = 0; a < units.size(); ++a) {
        for (std::size_t b = 0; b < units.size(); ++b) {
            BrickUnit& u = units[a];
            BrickUnit& v = units[b];
            if (brickOf[a] == brickOf[b] && v.y == u.y && v.x == u.x + unitPitchX) {
                u.right = &v;
                v.left = &u;
            }
            if (v.x == u.x && v.y == u.y - unitPitchY) {
                u.above = &v;
                v.below = &u;
            }
        }
    }
}

RgbaImage cropToBricks(const SurfacePixels& surface) {
    PixelRect box{surface.width, surface.height, 0, 0};
    for (int32_t row = 0; row < surface.height; ++row) {
        for (int32_t column = 0; column < surface.width; ++column) {
            if (surface.pixels[row * surface.stride + 4 * column + 3] != 0) {
                box = PixelRect{std::min(box.left, column), std::min(box.top, row), std::max(box.right, column + 1),
                                std::max(box.bottom, row + 1)};
            }
        }
    }
    RgbaImage image{std::max(box.width(), 0), std::max(box.height(), 0), {}};
    for (int32_t row = box.top; row < box.bottom; ++row) {
        for (int32_t column = box.left; column < box.right; ++column) {
            const uint8_t* bgra = surface.pixels + row * surface.stride + 4 * column;
            image.rgba.insert(image.rgba.end(), {unpremultiply(bgra[2], bgra[3]), unpremultiply(bgra[1], bgra[3]),
                                                 unpremultiply(bgra[0], bgra[3]), bgra[3]});
        }
    }
    return image;
}

}  // namespace

RgbaImage drawBuild(const std::vector<BuildBrick>& bricks) {
    std::deque<BrickUnit> units;
    std::vector<std::size_t> brickOf;
    for (std::size_t brick = 0; brick < bricks.size(); ++brick) {
        const BuildBrick& b = bricks[brick];
        for (int stud = 0; stud < b.studs; ++stud) {
            BrickUnit& unit = units.emplace_back();
            unit.colour = static_cast<uint32_t>(b.colour);
            unit.x = unit.drawX = scratchMargin + (b.column + stud) * unitPitchX;
            unit.y = unit.drawY = scratchMargin + (scratchLayers - 1 - b.layer) * unitPitchY;
            brickOf.push_back(brick);
        }
    }
    linkUnits(units, brickOf);

    // The toy's own drawing: a world of just these units, wiped and drawn in order.
    const int32_t side = 2 * scratchMargin + std::max(scratchStuds * unitPitchX, scratchLayers * unitPitchY);
    std::vector<uint8_t> memory(4 * static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    SurfacePixels surface{side, side, 4 * side, memory.data()};
    World.clear();
    for (BrickUnit& unit : units) World.push_back(&unit);
    renderScene(surface);
    World.clear();
    return cropToBricks(surface);
}
