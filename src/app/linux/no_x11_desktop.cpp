// Linked in a build that has no X11 desktop: it says so instead of pretending.

#include <cstdio>

#include "app/linux/desktop.h"

int runX11Desktop() {
    std::fprintf(stderr, "zimblet: this build has no X11 desktop; start it in a Wayland session whose "
                         "compositor offers layer-shell.\n");
    return 2;
}
