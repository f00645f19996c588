#pragma once

#include "host/pixel_rect.h"
#include "world/brick_unit.h"

// Draws the whole World into the host's surface, remembers where every unit went,
// and presents all of it: the first picture, and the fallback when the World or the
// surface changed size.
void showWholeScene();

// Redraws only where some unit is drawn or hit-tested differently since the last
// picture, and presents just that region. The pixels come out exactly as a full
// redraw would leave them.
void redrawScene();

// Where a unit's pixels lie (body, frame and stud), clipped to the area.
PixelRect drawnFootprint(const BrickUnit& unit, const PixelRect& area);

// Where the hit test finds the unit (its logical rectangle), clipped to the area.
PixelRect hitFootprint(const BrickUnit& unit, const PixelRect& area);
