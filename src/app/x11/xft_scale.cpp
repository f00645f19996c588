#include "app/x11/xft_scale.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/screen_scale.h"

namespace {

constexpr double baseDpi = 96.0;
constexpr int32_t largestScale = 16;  // beyond any screen; keeps the 120ths far from overflow

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The value of `Xft.dpi` on the line starting at `line`, or 0 when the line names
// another resource or its value is not a whole number followed only by blanks.
double dpiOnLine(const char* line) {
    while (isBlank(*line)) ++line;
    constexpr char name[] = "Xft.dpi";
    if (std::strncmp(line, name, sizeof name - 1) != 0) return 0;
    line += sizeof name - 1;
    while (isBlank(*line)) ++line;
    if (*line != ':') return 0;
    char* end = nullptr;
    const double dpi = std::strtod(line + 1, &end);
    if (end == line + 1) return 0;
    while (isBlank(*end)) ++end;
    return *end == '\n' || *end == '\0' ? dpi : 0;
}

}  // namespace

//------------------------------------------------------------------------------
int32_t scaleFromResources(const char* resources) {
    for (const char* line = resources; line != nullptr && *line != '\0';) {
        const double dpi = dpiOnLine(line);
        const double times = dpi / baseDpi;
        if (dpi > 0) {
            const bool whole = times >= 1 && times <= largestScale && times == std::floor(times);
            return whole ? static_cast<int32_t>(times) * kUnscaled : kUnscaled;
        }
        line = std::strchr(line, '\n');
        if (line != nullptr) ++line;
    }
    return kUnscaled;
}
