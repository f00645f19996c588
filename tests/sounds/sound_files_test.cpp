#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "riff_file.h"

namespace {

namespace fs = std::filesystem;

constexpr double sampleRate = 44100.0;
constexpr int fullScale = 32767;

const std::vector<std::string> attachNames = {"attach0", "attach1", "attach2", "attach3"};
const std::vector<std::string> detachNames = {"detach0", "detach1", "detach2", "detach3"};

std::vector<std::string> allNames()
{
    std::vector<std::string> names = attachNames;
    names.insert(names.end(), detachNames.begin(), detachNames.end());
    return names;
}

fs::path builtSound(const std::string& name)
{
    return fs::path(ZIMBLET_SOUNDS_DIR) / (name + ".wav");
}

std::vector<std::int16_t> samplesOf(const std::string& name)
{
    const RiffFile file = readRiffFile(builtSound(name));
    const RiffChunk* data = file.find("data");
    return data != nullptr ? pcm16Samples(file, *data) : std::vector<std::int16_t>{};
}

int peakOf(const std::vector<std::int16_t>& samples)
{
    int peak = 0;
    for (std::int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

int runMakeSounds(const std::string& arguments)
{
    const std::string command = std::string("\"") + ZIMBLET_MAKE_SOUNDS + "\" " + arguments;
    return std::system(command.c_str());
}

class SoundFile : public ::testing::TestWithParam<std::string> {};

TEST_P(SoundFile, DeclaresPcm16MonoAt44100)
{
    const RiffFile file = readRiffFile(builtSound(GetParam()));
    EXPECT_EQ(file.riffTag, "RIFF");
    EXPECT_EQ(file.formType, "WAVE");
    const RiffChunk* fmt = file.find("fmt ");
    ASSERT_NE(fmt, nullptr);
    ASSERT_GE(fmt->size, 16u);
    const std::size_t at = fmt->bodyOffset;
    EXPECT_EQ(file.u16At(at), 1) << "format tag (PCM)";
    EXPECT_EQ(file.u16At(at + 2), 1) << "channels";
    EXPECT_EQ(file.u32At(at + 4), 44100u) << "sample rate";
    EXPECT_EQ(file.u32At(at + 8), 88200u) << "byte rate";
    EXPECT_EQ(file.u16At(at + 12), 2) << "block align";
    EXPECT_EQ(file.u16At(at + 14), 16) << "bits per sample";
}

TEST_P(SoundFile, ChunkSizesAgreeWithFileLength)
{
    const RiffFile file = readRiffFile(builtSound(GetParam()));
    ASSERT_GE(file.bytes.size(), 12u);
    EXPECT_EQ(static_cast<std::size_t>(file.riffSize) + 8, file.bytes.size());
    const RiffChunk* data = file.find("data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->size % 2, 0u) << "whole 16-bit samples";
    EXPECT_LE(data->bodyOffset + data->size, file.bytes.size());
}

TEST_P(SoundFile, IsShortAudibleAndUnclipped)
{
    const std::vector<std::int16_t> samples = samplesOf(GetParam());
    const double seconds = static_cast<double>(samples.size()) / sampleRate;
    const int peak = peakOf(samples);
    std::printf("%s: %.4f s, %zu samples, peak %d (%.2f dBFS)\n", GetParam().c_str(), seconds, samples.size(),
                peak, 20.0 * std::log10(std::max(peak, 1) / double(fullScale)));

    EXPECT_GT(seconds, 0.0);
    EXPECT_LT(seconds, 0.3);
    // Headroom of at least 1 dB; anything louder was clipped or badly normalised.
    EXPECT_LT(peak, fullScale * 0.89);
    EXPECT_GT(peak, fullScale / 10) << "quieter than -20 dBFS";
    EXPECT_EQ(std::count(samples.begin(), samples.end(), std::int16_t{-32768}), 0);
}

TEST_P(SoundFile, StartsAndEndsAtSilence)
{
    const std::vector<std::int16_t> samples = samplesOf(GetParam());
    ASSERT_FALSE(samples.empty());
    // A large first or last sample is an audible step when the sound starts or stops.
    EXPECT_LE(std::abs(samples.front()), fullScale / 100);
    EXPECT_LE(std::abs(samples.back()), fullScale / 100);
}

INSTANTIATE_TEST_SUITE_P(AllSounds, SoundFile, ::testing::ValuesIn(allNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

TEST(SoundVariants, DifferWithinEachKind)
{
    for (const auto* names : {&attachNames, &detachNames}) {
        for (std::size_t a = 0; a < names->size(); ++a) {
            for (std::size_t b = a + 1; b < names->size(); ++b) {
                EXPECT_NE(samplesOf((*names)[a]), samplesOf((*names)[b])) << (*names)[a] << " vs " << (*names)[b];
            }
        }
    }
}

TEST(MakeSounds, RewritesIdenticalBytes)
{
    const fs::path again = fs::path(ZIMBLET_TEST_SCRATCH_DIR) / "again";
    fs::remove_all(again);
    ASSERT_EQ(runMakeSounds("\"" + again.string() + "\""), 0);
    for (const std::string& name : allNames()) {
        EXPECT_EQ(readRiffFile(again / (name + ".wav")).bytes, readRiffFile(builtSound(name)).bytes) << name;
    }
}

} // namespace
