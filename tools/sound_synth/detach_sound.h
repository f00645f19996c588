#pragma once

#include "signal_shaping.h"

inline constexpr int detachVariantCount = 4;

// A softer, lower pop whose pitch slides down as the brick comes free, over a brief scrape.
Signal synthDetach(int variant);
