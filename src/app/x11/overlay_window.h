#pragma once

// The overlay window: override-redirect over the whole root window, on a 32-bit
// ARGB visual where the screen has one, and kept above every other window.

#include <X11/Xlib.h>

// Picks the visual (and colormap) the window and its image are made with.
void chooseVisual();

// Makes the window over the whole root window, unmapped, with both shapes empty.
void createOverlayWindow();

// Maps the window on top with its picture.
void mapOverlayWindow();

// For a ConfigureNotify, MapNotify or CirculateNotify of the root's children:
// raises the window again when another was stacked over it.
void raiseAboveOthers(const XEvent& event);
