#pragma once

// Counts every heap allocation of the process, the program's and its libraries'
// (Xlib, xcb, libwayland), while countingAllocations is set.
extern bool countingAllocations;
extern long countedAllocations;
