#pragma once

#include <cstdint>

// The five brick colours as COLORREF values (0x00BBGGRR), in the order of the colour draw.
enum class BrickColour : uint32_t {
    Red = 0x1B28C4,
    White = 0xF2F3F2,
    Yellow = 0x2FCDF5,
    Blue = 0xAB690D,
    Green = 0x4A974B,
};

inline constexpr int brickColourCount = 5;

inline constexpr BrickColour brickColours[brickColourCount] = {
    BrickColour::Red, BrickColour::White, BrickColour::Yellow, BrickColour::Blue, BrickColour::Green,
};
