// The icons the build drew (tools/icon_maker): the .ico's seven entries are the PNGs'
// pictures, and the pictures are crisp: bricks in whole blocks of pixels, no blur.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t little(const Bytes& bytes, std::size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
    return value;
}

// Top-down RGBA rows of a PNG's bytes, or of the icon's PNG file of that side.
Bytes decodePng(const uint8_t* bytes, std::size_t size) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    Bytes rgba(pixels, pixels + (pixels ? 4 * width * height : 0));
    stbi_image_free(pixels);
    return rgba;
}
Bytes pngFile(int side) {
    const std::string size = std::to_string(side) + "x" + std::to_string(side);
    const Bytes bytes = fileBytes(ZIMBLET_ICONS_DIR "/hicolor/" + size + "/apps/org.zimblet.Zimblet.png");
    return decodePng(bytes.data(), bytes.size());
}

// A 32-bit bitmap entry (bottom-up BGRA, then the AND mask) as top-down RGBA; a pixel whose
// mask bit disagrees with its alpha comes out with an alpha of 0x80, which no picture holds.
Bytes decodeBitmap(const Bytes& ico, std::size_t at, int side) {
    EXPECT_EQ(little(ico, at + 4, 4), uint32_t(side));
    EXPECT_EQ(little(ico, at + 8, 4), uint32_t(2 * side));  // the colours and the mask
    EXPECT_EQ(little(ico, at + 14, 2), 32u);
    const std::size_t colours = at + 40, mask = colours + 4 * side * side, maskRow = (side + 31) / 32 * 4;
    Bytes rgba;
    for (int row = side - 1; row >= 0; --row) {
        for (int column = 0; column < side; ++column) {
            const uint8_t* bgra = &ico.at(colours + 4 * (row * side + column));
            const bool masked = ico.at(mask + row * maskRow + column / 8) & (0x80 >> column % 8);
            rgba.insert(rgba.end(), {bgra[2], bgra[1], bgra[0], masked == (bgra[3] == 0) ? bgra[3] : uint8_t(0x80)});
        }
    }
    return rgba;
}

// Every entry of the .ico is the PNG of its side, the entries one after another up to the
// file's end; every pixel is opaque or transparent, the bricks centred, and the largest icon
// is whole 4x4 blocks.
TEST(IconFilesTest, IcoHoldsTheSevenCrispPicturesOfThePngs) {
    const Bytes ico = fileBytes(ZIMBLET_ICONS_DIR "/zimblet.ico");
    const int sides[] = {16, 24, 32, 48, 64, 128, 256};
    ASSERT_GE(ico.size(), 6u + 7 * 16);
    EXPECT_EQ(little(ico, 0, 4), 0x10000u);  // reserved 0, type 1: an icon
    ASSERT_EQ(little(ico, 4, 2), 7u);
    std::size_t end = 6 + 7 * 16;
    Bytes rgba;
    for (int entry = 0; entry < 7; ++entry) {
        const int side = sides[entry];
        const std::size_t dir = 6 + 16 * entry, bytes = little(ico, dir + 8, 4), offset = little(ico, dir + 12, 4);
        SCOPED_TRACE(side);
        EXPECT_EQ(little(ico, dir, 2), uint32_t(side % 256 * 0x101));  // width and height, 256 written as 0
        ASSERT_EQ(offset, end);
        ASSERT_LE(end += bytes, ico.size());
        rgba = pngFile(side);
        ASSERT_EQ(rgba.size(), 4u * side * side);
        EXPECT_EQ(side == 256 ? decodePng(&ico[offset], bytes) : decodeBitmap(ico, offset, side), rgba);
        int left = side, right = -1, top = side, bottom = -1;  // the opaque pixels' box, centred, at least half wide
        for (int i = 0; i < side * side; ++i) {
            ASSERT_TRUE(rgba[4 * i + 3] == 0 || rgba[4 * i + 3] == 255) << "a blended pixel at " << i % side;
            if (rgba[4 * i + 3] != 0) {
                left = std::min(left, i % side), right = std::max(right, i % side), bottom = i / side;
                top = std::min(top, i / side);
            }
        }
        EXPECT_LE(std::abs(left - (side - 1 - right)) | std::abs(top - (side - 1 - bottom)), 1);
        EXPECT_GE(right - left + 1, side / 2);
    }
    EXPECT_EQ(end, ico.size());
    const int side = 256, scale = 4;  // the blocks start where the first opaque pixel does
    const int first = int(std::find_if(rgba.begin() + 3, rgba.end(), [](uint8_t a) { return a != 0; }) - rgba.begin());
    const int left = first / 4 % side % scale, top = first / 4 / side % scale;
    EXPECT_EQ(rgba[3] | rgba[4 * side - 1] | rgba[4 * side * (side - 1) + 3] | rgba.back(), 0);  // corners
    for (int y = top; y < side; ++y) {
        for (int x = left; x < side; ++x) {
            const int block = 4 * ((y - (y - top) % scale) * side + x - (x - left) % scale);
            ASSERT_TRUE(std::equal(&rgba[block], &rgba[block] + 4, &rgba[4 * (y * side + x)])) << x << "," << y;
        }
    }
}

}  // namespace
