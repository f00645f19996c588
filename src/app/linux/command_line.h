#pragma once

// What the command line asks of zimblet: play (no argument), end the running toy
// (--quit), or only print the help or the version.
enum class Request { Play, Quit, Help, Version, Unknown };

Request readCommandLine(int argc, const char* const* argv);

// The usage line, to stderr for an argument zimblet does not know.
void printUsage();
// The usage, what each option does and the ways to end the toy, to stdout.
void printHelp();
// "zimblet <version>", to stdout.
void printVersion();
