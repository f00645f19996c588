#pragma once

#include <cstddef>

inline constexpr std::size_t soundFilePathCapacity = 4096;

// Remembers where the program lies, so a sound can be found beside it later
// without asking the system on the move path. Call once at start-up.
void rememberProgramDirectory();

// Turns the core's relative path ("Sounds\attach0.wav") into a readable file:
// looked up in the current directory, then beside the program, then in the
// installed data directory (../share/zimblet from the program's folder, then the
// build's configured one). False when none of them has it.
bool findSoundFile(const char* relativePath, char (&found)[soundFilePathCapacity]);
