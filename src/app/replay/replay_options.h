#pragma once

#include <string>

// Command line of the replay host.
struct ReplayOptions {
    int width = 1920;
    int height = 1080;
    int originX = 0;  // where the primary screen starts: the bricks are scattered from there
    int originY = 0;
    std::string framePath;   // empty: no frame written
    std::string statePath;   // empty: no state written
    std::string scriptPath;  // empty: standard input
};

struct OptionsResult {
    bool ok = true;
    ReplayOptions options;
    std::string error;  // one line naming the bad argument
};

inline constexpr const char* replayUsage =
    "usage: zimblet-replay [--size WxH] [--origin X,Y] [--frame FILE.png] [--state FILE] [SCRIPT]";

OptionsResult parseReplayOptions(int argc, const char* const* argv);
