#include "app/replay/replay_options.h"

#include <charconv>
#include <cstring>

namespace {

// Large enough for any real screen, small enough to allocate.
constexpr int maxSurfaceSide = 16384;

bool parseSide(const char* begin, const char* end, int& side) {
    const auto [stop, error] = std::from_chars(begin, end, side);
    return error == std::errc() && stop == end && begin != end && *begin != '-' && side > 0 && side <= maxSurfaceSide;
}

bool parseOffset(const char* begin, const char* end, int& offset) {
    const auto [stop, error] = std::from_chars(begin, end, offset);
    return error == std::errc() && stop == end && begin != end && offset >= 0 && offset < maxSurfaceSide;
}

// Two numbers around a separator: WxH sides, or an X,Y origin.
bool parsePair(const std::string& text, char separator, int& first, int& second,
               bool (*parse)(const char*, const char*, int&)) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) return false;
    const char* begin = text.data();
    return parse(begin, begin + at, first) && parse(begin + at + 1, begin + text.size(), second);
}

OptionsResult fail(std::string message) {
    OptionsResult result;
    result.ok = false;
    result.error = std::move(message);
    return result;
}

}  // namespace

OptionsResult parseReplayOptions(int argc, const char* const* argv) {
    OptionsResult result;
    ReplayOptions& options = result.options;
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool takesValue = argument == "--size" || argument == "--origin" || argument == "--frame" || argument == "--state";
        if (takesValue) {
            if (i + 1 >= argc) return fail("missing value after " + argument);
            const std::string value = argv[++i];
            if (argument == "--size") {
                if (!parsePair(value, 'x', options.width, options.height, parseSide)) {
                    return fail("bad --size '" + value + "': expected WxH, each 1 to " + std::to_string(maxSurfaceSide));
                }
            } else if (argument == "--origin") {
                if (!parsePair(value, ',', options.originX, options.originY, parseOffset)) {
                    return fail("bad --origin '" + value + "': expected X,Y, each 0 to " +
                                std::to_string(maxSurfaceSide - 1));
                }
            } else if (value.empty()) {
                return fail("empty file name after " + argument);
            } else if (argument == "--frame") {
                options.framePath = value;
            } else {
                options.statePath = value;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            return fail("unknown option '" + argument + "'");
        } else if (haveScript) {
            return fail("unexpected argument '" + argument + "': only one SCRIPT may be given");
        } else {
            options.scriptPath = argument;
            haveScript = true;
        }
    }
    return result;
}
