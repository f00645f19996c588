#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct RiffChunk {
    std::string id;
    std::uint32_t size = 0;
    std::size_t bodyOffset = 0;
};

// A RIFF file as raw bytes plus the chunk list walked from them; nothing is validated,
// so the tests can state every expectation themselves.
struct RiffFile {
    std::vector<std::uint8_t> bytes;
    std::string riffTag;
    std::uint32_t riffSize = 0;
    std::string formType;
    std::vector<RiffChunk> chunks;

    const RiffChunk* find(std::string_view id) const;
    std::uint16_t u16At(std::size_t offset) const;
    std::uint32_t u32At(std::size_t offset) const;
};

RiffFile readRiffFile(const std::filesystem::path& path);

// Decodes little-endian 16-bit samples from the part of the chunk that lies inside the file.
std::vector<std::int16_t> pcm16Samples(const RiffFile& file, const RiffChunk& chunk);
