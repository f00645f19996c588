// zimblet-replay: the toy without a screen. It builds the same world as the
// Windows program, feeds it a script of mouse events through the same core,
// reports every event's outcome and writes the resulting frame and state.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/memory/memory_host.h"
#include "app/replay/png_frame.h"
#include "app/replay/replay_options.h"
#include "app/replay/replay_script.h"
#include "app/replay/state_dump.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

constexpr int exitUsage = 2;
constexpr int exitOutputFailed = 1;

const char* answerName(HookAnswer answer) {
    switch (answer) {
        case HookAnswer::Swallow: return "swallow";
        case HookAnswer::Deliver: return "deliver";
        case HookAnswer::Chain: return "chain";
    }
    return "chain";
}

bool readScript(const std::string& path, std::string& script) {
    std::ostringstream text;
    if (path.empty() || path == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        text << file.rdbuf();
    }
    script = text.str();
    return true;
}

// Runs the events and returns the report, one line per event plus its sounds.
std::string replay(const std::vector<ReplayEvent>& events) {
    std::string report;
    for (const ReplayEvent& event : events) {
        const HookAnswer answer = event.escape ? HookAnswer::Swallow : handleMouseEvent(event.message, event.x, event.y);
        report += std::to_string(event.lineNumber) + ": " + event.text + " -> " + answerName(answer) + " " +
                  dragStateName() + "\n";
        for (const std::string& sound : memoryHost().sounds) {
            report += "  sound " + sound + "\n";
        }
        memoryHost().sounds.clear();
    }
    return report;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    const OptionsResult parsedOptions = parseReplayOptions(argc, argv);
    if (!parsedOptions.ok) {
        std::fprintf(stderr, "zimblet-replay: %s\n%s\n", parsedOptions.error.c_str(), replayUsage);
        return exitUsage;
    }
    const ReplayOptions& options = parsedOptions.options;

    std::string scriptText;
    if (!readScript(options.scriptPath, scriptText)) {
        std::fprintf(stderr, "zimblet-replay: cannot read script '%s'\n", options.scriptPath.c_str());
        return exitUsage;
    }
    const ParsedScript script = parseReplayScript(scriptText);
    if (!script.ok) {
        std::fprintf(stderr, "zimblet-replay: line %d: malformed event: %s\n", script.error.lineNumber,
                     script.error.text.c_str());
        return exitUsage;
    }

    resetMemoryHost(options.width, options.height);
    createWorld();
    shiftWorld(options.originX, options.originY);
    showWholeScene();
    memoryHost().sounds.clear();
    std::fputs(replay(script.events).c_str(), stdout);
    std::fflush(stdout);

    if (!options.statePath.empty() && !writeText(options.statePath, formatWorldState())) {
        std::fprintf(stderr, "zimblet-replay: cannot write state '%s'\n", options.statePath.c_str());
        return exitOutputFailed;
    }
    if (!options.framePath.empty() && !writePngFrame(memoryHost().surface, options.framePath)) {
        std::fprintf(stderr, "zimblet-replay: cannot write frame '%s'\n", options.framePath.c_str());
        return exitOutputFailed;
    }
    return 0;
}
