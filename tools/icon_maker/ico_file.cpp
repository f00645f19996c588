#include "ico_file.h"

namespace {

constexpr int32_t pngFromSide = 256;
constexpr std::size_t directoryHeaderBytes = 6;
constexpr std::size_t directoryEntryBytes = 16;
constexpr uint32_t bitmapInfoHeaderBytes = 40;

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A BITMAPINFOHEADER of twice the height (colour, then mask), the colour rows
// bottom-up as blue, green, red, alpha, and the AND mask: one bit per pixel, set where
// the pixel is transparent, each row padded to four bytes.
std::vector<uint8_t> encodeBitmap(const RgbaImage& image) {
    const auto width = static_cast<uint32_t>(image.width);
    const auto height = static_cast<uint32_t>(image.height);
    const uint32_t maskRowBytes = (width + 31) / 32 * 4;
    std::vector<uint8_t> out;
    for (uint32_t field : {bitmapInfoHeaderBytes, width, 2 * height}) put32(out, field);
    put16(out, 1);   // planes
    put16(out, 32);  // bits per pixel
    for (uint32_t field : {0u, 4 * width * height + maskRowBytes * height, 0u, 0u, 0u, 0u}) put32(out, field);
    for (int32_t row = image.height - 1; row >= 0; --row) {
        for (int32_t column = 0; column < image.width; ++column) {
            const uint8_t* rgba = image.pixel(column, row);
            out.insert(out.end(), {rgba[2], rgba[1], rgba[0], rgba[3]});
        }
    }
    for (int32_t row = image.height - 1; row >= 0; --row) {
        std::vector<uint8_t> mask(maskRowBytes);
        for (int32_t column = 0; column < image.width; ++column) {
            if (image.pixel(column, row)[3] == 0) mask[column / 8] |= static_cast<uint8_t>(0x80 >> (column % 8));
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> encodeIco(const std::vector<RgbaImage>& pictures) {
    std::vector<std::vector<uint8_t>> entries;
    for (const RgbaImage& picture : pictures) {
        entries.push_back(picture.width >= pngFromSide ? encodePng(picture) : encodeBitmap(picture));
    }
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<uint32_t>(pictures.size()));
    auto offset = static_cast<uint32_t>(directoryHeaderBytes + directoryEntryBytes * pictures.size());
    for (std::size_t index = 0; index < pictures.size(); ++index) {
        // A side of 256 is written as 0.
        out.push_back(static_cast<uint8_t>(pictures[index].width));
        out.push_back(static_cast<uint8_t>(pictures[index].height));
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<uint32_t>(entries[index].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(entries[index].size());
    }
    for (const auto& entry : entries) out.insert(out.end(), entry.begin(), entry.end());
    return out;
}
