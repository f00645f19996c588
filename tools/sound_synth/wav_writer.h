#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// Builds a complete RIFF/WAVE file holding the samples as 16-bit mono PCM.
std::vector<std::uint8_t> encodeWav(std::span<const std::int16_t> samples);

bool writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
