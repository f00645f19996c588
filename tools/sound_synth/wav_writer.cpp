#include "wav_writer.h"

#include <fstream>

#include "audio_format.h"

namespace {

// Every field is written byte by byte so the result never depends on host endianness or struct padding.
void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

void putU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
    }
}

} // namespace

std::vector<std::uint8_t> encodeWav(std::span<const std::int16_t> samples)
{
    constexpr std::uint16_t pcmFormat = 1;
    constexpr std::uint16_t blockAlign = channelCount * (bitsPerSample / 8);
    constexpr std::uint32_t byteRate = sampleRate * blockAlign;
    constexpr std::uint32_t fmtSize = 16;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * blockAlign);

    std::vector<std::uint8_t> out;
    out.reserve(44 + dataSize);
    putTag(out, "RIFF");
    putU32(out, 4 + (8 + fmtSize) + (8 + dataSize));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, fmtSize);
    putU16(out, pcmFormat);
    putU16(out, channelCount);
    putU32(out, sampleRate);
    putU32(out, byteRate);
    putU16(out, blockAlign);
    putU16(out, bitsPerSample);
    putTag(out, "data");
    putU32(out, dataSize);
    for (std::int16_t sample : samples) {
        putU16(out, static_cast<std::uint16_t>(sample));
    }
    return out;
}

bool writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}
