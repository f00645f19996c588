#include "app/linux/command_line.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* usageLine = "usage: zimblet [--quit | --help | --version]\n";

}  // namespace

Request readCommandLine(int argc, const char* const* argv) {
    if (argc == 1) return Request::Play;
    if (argc > 2) return Request::Unknown;
    if (std::strcmp(argv[1], "--quit") == 0) return Request::Quit;
    if (std::strcmp(argv[1], "--help") == 0) return Request::Help;
    if (std::strcmp(argv[1], "--version") == 0) return Request::Version;
    return Request::Unknown;
}

void printUsage() { std::fputs(usageLine, stderr); }

void printHelp() {
    std::fputs(usageLine, stdout);
    std::fputs("\n"
               "A hundred toy bricks on the desktop. Drag one with the left button (everything\n"
               "attached to it comes along) and let it go where its studs line up with another\n"
               "brick to attach it; the right button first pulls a brick loose.\n"
               "\n"
               "  --quit     put the bricks away: end the toy that is running\n"
               "  --help     show this help\n"
               "  --version  show the version\n"
               "\n"
               "The toy ends with Escape (on Wayland while a brick is held), when zimblet is\n"
               "started again, with zimblet --quit, and with SIGINT or SIGTERM.\n",
               stdout);
}

void printVersion() { std::printf("zimblet %s\n", ZIMBLET_VERSION); }
