#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interaction/mouse_event.h"

// One event of a replay script, with the line it came from.
struct ReplayEvent {
    int lineNumber = 0;
    std::string text;  // the line as written, trimmed
    bool escape = false;
    MouseMessage message = MouseMessage::Other;
    int32_t x = 0;
    int32_t y = 0;
};

struct ScriptError {
    int lineNumber = 0;
    std::string text;
};

struct ParsedScript {
    std::vector<ReplayEvent> events;
    bool ok = true;
    ScriptError error;
};

// Reads events up to the end or to the first escape; the first malformed line fails it.
ParsedScript parseReplayScript(const std::string& script);
