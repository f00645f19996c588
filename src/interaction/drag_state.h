#pragma once

#include <cstdint>

struct BrickUnit;

enum class DragState : int32_t { Idle = 0, Holding = 1, Snapped = 2 };

extern DragState dragState;
extern BrickUnit* grabbedUnit;  // set by every grabbing press, never cleared
extern int32_t lastDragX;       // pointer position of the previous drag step
extern int32_t lastDragY;
extern bool swallowRightUp;     // a right press grabbed: swallow the right release even when Idle

// Whether a drag holds the pointer after the event just handled: a group is held.
bool dragHolds();

// Returns the interaction to its start: Idle, nothing grabbed, no pending swallow.
void resetInteraction();

// One drag step: the held group follows the pointer, then overlaps, snaps or attaches.
void updateDrag(int32_t x, int32_t y);

// Whether the pointer travelled more than 8.0 pixels, computed without overflow.
bool isFastMove(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);
