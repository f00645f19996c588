#pragma once

// Runs the toy on the X11 display named by DISPLAY until Escape, SIGINT or SIGTERM
// ends it, and returns the exit status (0 then; non-zero when it cannot start).
int runX11Desktop();
