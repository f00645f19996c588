#pragma once

// Tells the user on stderr, as "zimblet: <reason>" and a newline, why the program
// cannot start or go on, or what it found; the caller decides the exit status.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));
