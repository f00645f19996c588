#pragma once

// Gives the in-memory host a screen-sized surface and a screen to present to, builds
// the start-up world once and shows its first picture.
void prepareBenchWorld(int width, int height);
