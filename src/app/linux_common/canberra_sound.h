#pragma once

// Opens the sound context; without one the program runs silent. Call once at start-up.
void openSound();

// Stops our sound if one plays and releases the context.
void closeSound();
