#pragma once

struct OutputView;
struct wl_seat;

// Binds the seat's pointer and keyboard as the seat announces them.
void listenToSeat(wl_seat* seat);

// Ends a drag as the release of its button would.
void endDragAsRelease();

// The output's surface is going: a drag held on it ends as its release would, and
// neither the pointer nor the keyboard is on it any more.
void letGoOfOutput(OutputView& view);
