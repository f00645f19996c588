// zimblet: the Linux program. It runs on the X11 display named by DISPLAY.

#include <cstdio>
#include <cstdlib>

#include "app/linux/canberra_sound.h"
#include "app/x11/x11_desktop.h"

int main() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        std::fprintf(stderr, "zimblet: no display: DISPLAY is not set, so there is no desktop to put the bricks on\n");
        return 1;
    }
    openSound();
    const int status = runX11Desktop();
    closeSound();
    return status;
}
