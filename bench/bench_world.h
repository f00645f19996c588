#pragma once

// Gives the in-memory host a screen of width x height device pixels to present to,
// at a scale in 120ths (render/screen_scale.h), and a surface of the screen's logical
// size; builds the start-up world once and shows its first picture.
void prepareBenchWorld(int width, int height, int scale120 = 120);
