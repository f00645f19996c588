#pragma once

struct OutputView;

// Replaces the output's surface by a new one, which takes over at its first configure.
void remapOverlay(OutputView& view);

// At the new surface's first configure: the old one goes, and every buffer is to be
// brought up to date whole.
void finishRemap(OutputView& view);

// Destroys the surface being replaced, if there is one.
void dropRetiredSurface(OutputView& view);
