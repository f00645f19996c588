#pragma once

// Where the outputs' surfaces lie in the one picture the core draws, and at what
// scale each shows its part: worked out anew from what the compositor said of the
// outputs, plain data in and out.

#include <cstdint>
#include <span>

#include "host/pixel_rect.h"

inline constexpr int32_t outputCapacity = 8;

// What the compositor said of one output and its surface.
struct OutputPlace {
    int32_t x = 0;  // its logical position, as of the last done
    int32_t y = 0;
    int32_t width = 0;  // its surface's logical size, as of the last configure
    int32_t height = 0;
    uint32_t announced = 0;    // the order outputs were announced in, from 1
    int32_t scale = 1;         // wl_output's integer scale
    int32_t preferred120 = 0;  // the fractional-scale protocol's preferred scale; 0 while none
    bool configured = false;   // its surface has had a configure with a size
};

// The buffers an output's surface takes, and how the compositor learns their scale.
struct OutputFit {
    int32_t per120 = 0;  // device pixels per logical pixel, in 120ths (render/screen_scale.h)
    int32_t deviceWidth = 0;
    int32_t deviceHeight = 0;
    int32_t bufferScale = 1;      // wl_surface's buffer scale
    int32_t viewportWidth = -1;   // the viewport's destination; -1 where the buffer scale
    int32_t viewportHeight = -1;  // says it all
    bool operator==(const OutputFit&) const = default;
};

// A whole scale goes by the buffer scale; a fractional one (1.25, 1.5) by a buffer at
// device size whose viewport gives it the surface's logical size. The preferred
// scale wins over the integer one.
OutputFit fitOutput(const OutputPlace& place);

struct OutputLayout {
    PixelRect box;  // the picture's rectangle in the compositor's logical coordinates
    // How far what lay in the previous picture moves in this one, where it grew left or up.
    int32_t shiftX = 0;
    int32_t shiftY = 0;
    PixelRect parts[outputCapacity];  // each configured output's part of the picture
    // The output the bricks start on: the one at the box's top-left, else the first
    // announced; -1 without a configured output.
    int32_t primary = -1;
};

// The previous box grown over every configured output: it never shrinks, so an output
// that goes leaves its part, and the bricks on it, for when it comes back.
PixelRect grownBox(std::span<const OutputPlace> places, const PixelRect& previous);

// The outputs (at most outputCapacity) laid out in `box`; the picture's box before
// was `previous`.
OutputLayout layOutOutputs(std::span<const OutputPlace> places, const PixelRect& box, const PixelRect& previous);
