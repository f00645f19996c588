#pragma once

struct OutputLayout;

// Gives the picture the layout's box, moving the world by the layout's shift; false,
// after saying so, when no memory can be had: the picture stays as it was.
bool growPicture(const OutputLayout& next);
