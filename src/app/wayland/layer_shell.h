#pragma once

// The generated layer-shell header names a parameter `namespace`, which C++ reads as
// its keyword; it is renamed for the length of the include.
#include <wayland-client.h>

#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
