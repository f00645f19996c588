#pragma once

#include "signal_shaping.h"

inline constexpr int attachVariantCount = 4;

// A bright plastic snap: a noise tick ringing a few stiff modes, then a quieter seating click.
Signal synthAttach(int variant);
