#include "app/replay/replay_script.h"

#include <charconv>
#include <sstream>

namespace {

struct EventName {
    const char* name;
    MouseMessage message;
};

constexpr EventName mouseEventNames[] = {
    {"left-down", MouseMessage::LeftDown}, {"left-up", MouseMessage::LeftUp},
    {"right-down", MouseMessage::RightDown}, {"right-up", MouseMessage::RightUp},
    {"move", MouseMessage::Move},         {"wheel", MouseMessage::Other},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string trim(const std::string& line) {
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && isBlank(line[first])) ++first;
    while (last > first && isBlank(line[last - 1])) --last;
    return line.substr(first, last - first);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at])) ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end])) ++end;
        if (end > at) result.push_back(line.substr(at, end - at));
        at = end;
    }
    return result;
}

// A decimal integer, optionally negative, that fits in 32 bits.
bool parseCoordinate(const std::string& field, int32_t& value) {
    if (field.empty() || field[0] == '+') return false;
    const char* begin = field.data();
    const char* end = begin + field.size();
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

bool parseEvent(const std::string& text, ReplayEvent& event) {
    const std::vector<std::string> words = fields(text);
    if (words.size() == 1 && words[0] == "escape") {
        event.escape = true;
        return true;
    }
    for (const EventName& known : mouseEventNames) {
        if (words.size() == 3 && words[0] == known.name) {
            event.message = known.message;
            return parseCoordinate(words[1], event.x) && parseCoordinate(words[2], event.y);
        }
    }
    return false;
}

}  // namespace

ParsedScript parseReplayScript(const std::string& script) {
    ParsedScript parsed;
    std::istringstream lines(script);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string text = trim(line);
        if (text.empty() || text[0] == '#') continue;
        ReplayEvent event;
        event.lineNumber = lineNumber;
        event.text = text;
        if (!parseEvent(text, event)) {
            parsed.ok = false;
            parsed.error = ScriptError{lineNumber, text};
            parsed.events.clear();
            return parsed;
        }
        parsed.events.push_back(event);
        if (event.escape) break;
    }
    return parsed;
}
