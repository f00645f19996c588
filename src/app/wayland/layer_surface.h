#pragma once

struct OutputView;
struct wl_surface;
struct zwlr_layer_surface_v1;

// Makes the surface an overlay-layer surface over the whole output, on top of
// everything and taking no keyboard; its configures and its closing are recorded in
// the output's view for the loop to apply.
zwlr_layer_surface_v1* makeLayerSurface(OutputView& view, wl_surface* surface);
