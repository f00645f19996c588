#pragma once

struct OutputView;

// Gives the output's new surface what tells and applies a fractional scale (where
// the compositor offers it); lets go of those of its old surface.
void followSurfaceScale(OutputView& view);
void forgetSurfaceScale(OutputView& view);

// Before a commit: the buffer scale or the viewport's size, when they changed.
void sendSurfaceScale(OutputView& view);
