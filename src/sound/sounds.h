#pragma once

#include <cstddef>

// Longest path ever formed is "Sounds\detachN.wav": 18 characters.
inline constexpr std::size_t soundNameCapacity = 255;
inline constexpr std::size_t soundPathCapacity = 400;

// Forms "Sounds\<kind><variant>.wav" into path; kind is "attach" or "detach".
void formatSoundPath(char (&path)[soundPathCapacity], const char* kind, int variant);

// Pick one of four variants with rand() and have the host start it.
void playAttachSound();
void playDetachSound();
