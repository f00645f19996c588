#include "icon_picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "brick_builds.h"

namespace {

const BuildBrick redTwo{2, BrickColour::Red, 0, 0};

// From the richest to the plainest: a two-stud brick on a four-stud one, two two-stud
// bricks stacked, a lone two-stud brick, a lone one-stud brick.
std::vector<std::vector<BuildBrick>> builds() {
    return {
        {{4, BrickColour::Red, 0, 0}, {2, BrickColour::Yellow, 1, 1}},
        {redTwo, {2, BrickColour::Yellow, 0, 1}},
        {redTwo},
        {{1, BrickColour::Red, 0, 0}},
    };
}

RgbaImage transposed(const RgbaImage& image) {
    RgbaImage result{image.height, image.width, std::vector<uint8_t>(image.rgba.size())};
    for (int32_t row = 0; row < result.height; ++row) {
        for (int32_t column = 0; column < result.width; ++column) {
            std::memcpy(result.rgba.data() + 4 * (row * result.width + column), image.pixel(row, column), 4);
        }
    }
    return result;
}

bool rowsEqual(const RgbaImage& image, int32_t a, int32_t b) {
    return std::memcmp(image.pixel(0, a), image.pixel(0, b), 4 * static_cast<std::size_t>(image.width)) == 0;
}

// Leaves out one row from the middle of the first longest run of equal rows.
void dropRepeatedRow(RgbaImage& image) {
    int32_t bestStart = 0;
    int32_t bestLength = 0;
    for (int32_t start = 0; start < image.height;) {
        int32_t end = start + 1;
        while (end < image.height && rowsEqual(image, start, end)) ++end;
        if (end - start > bestLength) {
            bestStart = start;
            bestLength = end - start;
        }
        start = end;
    }
    const auto rowBytes = 4 * static_cast<std::ptrdiff_t>(image.width);
    const auto at = image.rgba.begin() + (bestStart + bestLength / 2) * rowBytes;
    image.rgba.erase(at, at + rowBytes);
    --image.height;
}

void dropRepeatedRows(RgbaImage& image, int32_t side) {
    while (image.height > side) dropRepeatedRow(image);
}

}  // namespace

RgbaImage squeezeRepeats(RgbaImage image, int32_t side) {
    dropRepeatedRows(image, side);
    image = transposed(image);
    dropRepeatedRows(image, side);
    return transposed(image);
}

RgbaImage iconPicture(int32_t side) {
    RgbaImage build;
    for (const auto& bricks : builds()) {
        build = drawBuild(bricks);
        if (build.width <= side && build.height <= side) break;
    }
    // Where none fits (16 pixels), the two-stud brick shortened reads as a brick; the
    // one-stud brick shortened reads as a box with a lid.
    if (build.width > side || build.height > side) build = squeezeRepeats(drawBuild({redTwo}), side);

    const int32_t scale = side / std::max(build.width, build.height);
    const int32_t left = (side - scale * build.width) / 2;
    const int32_t top = (side - scale * build.height) / 2;
    RgbaImage icon{side, side, std::vector<uint8_t>(4 * static_cast<std::size_t>(side) * side)};
    for (int32_t row = 0; row < scale * build.height; ++row) {
        for (int32_t column = 0; column < scale * build.width; ++column) {
            std::memcpy(icon.rgba.data() + 4 * ((top + row) * side + left + column),
                        build.pixel(column / scale, row / scale), 4);
        }
    }
    return icon;
}
