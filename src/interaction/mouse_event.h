#pragma once

#include <cstdint>

// The mouse messages the core tells apart; everything else (wheel, middle and
// extra buttons) is Other.
enum class MouseMessage { LeftDown, LeftUp, RightDown, RightUp, Move, Other };

// What the host does with the event: swallow it, let the system deliver it to its
// target without the rest of the hook chain, or pass it along the chain.
enum class HookAnswer { Swallow, Deliver, Chain };

// Drives the drag state machine with one mouse event at screen point (x, y).
HookAnswer handleMouseEvent(MouseMessage message, int32_t x, int32_t y);
