// Zimblet for Windows: the program around the portable core, and the product. A
// borderless, topmost, click-through layered window lies over the primary screen;
// its picture is a screen-sized 32-bit premultiplied DIB section, shown with
// UpdateLayeredWindowIndirect and the dirty rectangle (UpdateLayeredWindow where
// that fails). System-wide low-level hooks see every mouse event and key of the
// desktop: for each mouse event the core decides whether it is swallowed, delivered
// or chained on, and Escape ends the program. At N times 96 dpi each logical pixel
// is shown as an N x N block and pointer positions are divided back
// (monitor_scale.h). Sounds are played with PlaySoundA from the Sounds folder of
// the current directory.
//
// One thread: the message loop takes one message per pass, so the hooks get their
// turn, and sleeps 1 ms after each. The screen is measured at the start and at each
// WM_DPICHANGED, not at a new resolution, and only the primary one is covered;
// nothing is released at the end. Every platform call goes through the Win32Api
// record (win32_api.h). Links user32, gdi32 and winmm, and the C++ runtime
// statically.

#include "app/win32/shell.h"
#include "render/redraw.h"
#include "world/world.h"

//------------------------------------------------------------------------------
// Starts up, scatters the bricks and pumps messages until Escape. The command line
// and the show command are ignored; the exit code is always 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    initApplication(instance);
    createWorld();
    if (running) {
        showWholeScene();
    }
    if (running) {
        runMessageLoop();
    }
    return 0;
}
