#pragma once

#include <cstdint>

// Every sound the toy ships is 16-bit mono PCM at this rate.
inline constexpr std::uint32_t sampleRate = 44100;
inline constexpr std::uint16_t channelCount = 1;
inline constexpr std::uint16_t bitsPerSample = 16;

inline constexpr double secondsToSamples(double seconds)
{
    return seconds * static_cast<double>(sampleRate);
}
