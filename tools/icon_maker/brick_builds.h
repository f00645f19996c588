#pragma once

#include <vector>

#include "rgba_image.h"
#include "world/brick_colour.h"

// One brick of a build: its width in studs, its colour, and where it stands: its
// leftmost stud's column and its layer (0 the bottom, 1 attached on top of layer 0).
struct BuildBrick {
    int studs = 1;
    BrickColour colour = BrickColour::Red;
    int column = 0;
    int layer = 0;
};

// Draws the bricks as the toy draws them, each layer attached to the one below where
// their studs line up, and gives the picture cropped to the bricks, at one screen
// pixel per logical pixel.
RgbaImage drawBuild(const std::vector<BuildBrick>& bricks);
