#pragma once

#include "app/linux_common/desktop.h"

// Runs the toy on the X11 display named by DISPLAY until Escape, SIGINT, SIGTERM or
// another start ends it (Ended with 0), or it loses its surface (Ended with 1); or
// says why it cannot start (Failed).
DesktopOutcome runX11Desktop();
