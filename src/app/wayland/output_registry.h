#pragma once

#include <cstdint>

struct OutputView;

// Binds an announced output and asks for its place; beyond eight outputs, or one
// that never says it is done, it is left bare.
void bindOutput(uint32_t globalName, uint32_t version);

// Asks the xdg-output manager, once bound, for the place of every output.
void describeOutputs();

// Marks the output of this global gone, for the loop; a global that is no output of
// ours is ignored.
void markOutputGone(uint32_t globalName);

// Lets go of a gone output whose surface has been dropped; its slot is free again.
void releaseOutput(OutputView& view);
