#pragma once

#include <cstdint>

// Pixel geometry shared by everything that places, draws or tests units.
// Neighbours share a border: a unit is 16 x 19 pixels but units stand 15 apart
// within a brick and 18 apart in a stack.
inline constexpr int32_t unitPitchX = 15;
inline constexpr int32_t unitPitchY = 18;

// One stud-sized cell of a brick. Links are non-owning; units live until the process ends.
struct BrickUnit {
    uint32_t colour = 0;  // COLORREF 0x00BBGGRR
    int32_t x = 0;        // logical top-left corner: hit tests, overlap and snap tests
    int32_t y = 0;
    int32_t drawX = 0;    // drawn top-left corner: differs from x, y only during a snap preview
    int32_t drawY = 0;
    int32_t mark = 0;     // scratch for group walks; 0 at rest
    BrickUnit* left = nullptr;
    BrickUnit* right = nullptr;
    BrickUnit* above = nullptr;
    BrickUnit* below = nullptr;
    BrickUnit* pendingAbove = nullptr;
    BrickUnit* pendingBelow = nullptr;

    BrickUnit() = default;

    // Takes the colour and draws a random position: y first, then x.
    explicit BrickUnit(uint32_t brickColour);

    // Group walks, depth first over left, right, above, below.
    void setGroupMark(int32_t value);
    void setGroupPosition(int32_t newX, int32_t newY);
    void setGroupDrawPosition(int32_t newX, int32_t newY);
    void commitPendingLinks();
    void clearPendingLinks();
};
