// The eight sounds the build synthesises: valid 16-bit mono 44.1 kHz PCM files,
// short, unclipped, starting and ending quietly, and the same bytes on every run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t littleEndian(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

const char* const names[] = {"attach0", "attach1", "attach2", "attach3", "detach0", "detach1", "detach2", "detach3"};

TEST(SoundFiles, AreShortQuietEndedUnclippedPcm) {
    std::vector<std::vector<int16_t>> all;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> bytes = readBytes(fs::path(ZIMBLET_SOUNDS_DIR) / (std::string(name) + ".wav"));
        ASSERT_GT(bytes.size(), 44u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
        EXPECT_EQ(littleEndian(bytes, 4, 4) + 8, bytes.size());
        EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
        // format 1 (PCM), 1 channel, 44100 Hz, 88200 bytes/s, block 2, 16 bits
        EXPECT_EQ(std::vector<uint32_t>({littleEndian(bytes, 20, 2), littleEndian(bytes, 22, 2), littleEndian(bytes, 24, 4),
                                         littleEndian(bytes, 28, 4), littleEndian(bytes, 32, 2), littleEndian(bytes, 34, 2)}),
                  std::vector<uint32_t>({1, 1, 44100, 88200, 2, 16}));
        EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
        ASSERT_EQ(littleEndian(bytes, 40, 4) + 44, bytes.size());

        std::vector<int16_t> samples;
        for (std::size_t at = 44; at + 1 < bytes.size(); at += 2) {
            samples.push_back(static_cast<int16_t>(littleEndian(bytes, at, 2)));
        }
        EXPECT_LT(samples.size(), 0.3 * 44100);
        const int peak = std::abs(*std::max_element(samples.begin(), samples.end(), [](int16_t a, int16_t b) {
            return std::abs(a) < std::abs(b);
        }));
        EXPECT_LT(peak, 32767 * 0.89) << "at least 1 dB of headroom: no clipping";
        EXPECT_GT(peak, 32767 / 10) << "louder than -20 dBFS";
        EXPECT_LE(std::max(std::abs(samples.front()), std::abs(samples.back())), 327) << "no step at either end";
        for (const auto& earlier : all) EXPECT_NE(earlier, samples) << "variants differ";
        all.push_back(samples);
    }
}

TEST(SoundFiles, SynthesiserRewritesIdenticalBytes) {
    const fs::path again = fs::path(ZIMBLET_TEST_SCRATCH_DIR) / "again";
    fs::remove_all(again);
    ASSERT_EQ(std::system(("\"" ZIMBLET_MAKE_SOUNDS "\" \"" + again.string() + "\"").c_str()), 0);
    for (const char* name : names) {
        const std::string file = std::string(name) + ".wav";
        EXPECT_EQ(readBytes(again / file), readBytes(fs::path(ZIMBLET_SOUNDS_DIR) / file)) << name;
    }
}

}  // namespace
