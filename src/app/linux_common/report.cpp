#include "app/linux_common/report.h"

#include <cstdarg>
#include <cstdio>

void report(const char* format, ...) {
    std::fputs("zimblet: ", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}
