#pragma once

// The screen's scale, read from the X resources the desktop set (xrdb), without X11.

#include <cstdint>

// The scale in 120ths (render/screen_scale.h) that `Xft.dpi` in these resources
// asks for: a whole multiple of 96 dpi gives that many device pixels a logical
// one (192 gives 240); anything else, no Xft.dpi, no resources (null) or a value
// that is not a number gives 1:1.
int32_t scaleFromResources(const char* resources);
