#include "riff_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string tagAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    if (offset + 4 > bytes.size()) {
        return {};
    }
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + 4));
}

} // namespace

const RiffChunk* RiffFile::find(std::string_view id) const
{
    const auto it = std::find_if(chunks.begin(), chunks.end(), [id](const RiffChunk& c) { return c.id == id; });
    return it == chunks.end() ? nullptr : &*it;
}

std::uint16_t RiffFile::u16At(std::size_t offset) const
{
    if (offset + 2 > bytes.size()) {
        throw std::out_of_range("read past end of file");
    }
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t RiffFile::u32At(std::size_t offset) const
{
    return static_cast<std::uint32_t>(u16At(offset)) | (static_cast<std::uint32_t>(u16At(offset + 2)) << 16);
}

RiffFile readRiffFile(const std::filesystem::path& path)
{
    RiffFile file;
    std::ifstream in(path, std::ios::binary);
    file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (file.bytes.size() < 12) {
        return file;
    }
    file.riffTag = tagAt(file.bytes, 0);
    file.riffSize = file.u32At(4);
    file.formType = tagAt(file.bytes, 8);
    std::size_t offset = 12;
    while (offset + 8 <= file.bytes.size()) {
        RiffChunk chunk{tagAt(file.bytes, offset), file.u32At(offset + 4), offset + 8};
        file.chunks.push_back(chunk);
        // Chunk bodies are padded to an even length.
        offset = chunk.bodyOffset + chunk.size + (chunk.size & 1u);
    }
    return file;
}

std::vector<std::int16_t> pcm16Samples(const RiffFile& file, const RiffChunk& chunk)
{
    const std::size_t end = std::min(file.bytes.size(), chunk.bodyOffset + chunk.size);
    std::vector<std::int16_t> samples;
    for (std::size_t offset = chunk.bodyOffset; offset + 2 <= end; offset += 2) {
        samples.push_back(static_cast<std::int16_t>(file.u16At(offset)));
    }
    return samples;
}
