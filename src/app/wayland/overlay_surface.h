#pragma once

struct OutputFit;
struct OutputView;
struct wl_surface;

// Makes the output's overlay surface, taking no input until the first picture
// brings its input region.
void coverOutput(OutputView& view);

// New buffers at the fit's device size, an empty input region, and the buffer scale or
// viewport sent with the next commit; false, after saying so, when no memory can be had.
bool fitBuffers(OutputView& view, const OutputFit& fit);

// Destroys the output's surface and its buffers: the output shows nothing of ours
// until it is placed again.
void dropSurface(OutputView& view);

// Whether every output with a surface has had its first configure.
bool outputsConfigured();

// The output whose surface (current or being replaced) this is, or null.
OutputView* outputOf(wl_surface* surface);
