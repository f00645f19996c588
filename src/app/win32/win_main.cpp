// Zimblet for Windows: the program around the portable core.
//
// Implemented:
//  [x] A borderless, topmost, click-through layered window over the screen whose
//      picture is a screen-sized 32-bit premultiplied DIB section (UpdateLayeredWindow).
//  [x] System-wide low-level keyboard hook: Escape ends the program.
//  [x] System-wide low-level mouse hook: the drag state machine decides swallow,
//      deliver or chain for every mouse event on the desktop.
//  [x] A message loop taking one message per pass and sleeping 1 ms after each.
//  [x] Sounds started with PlaySoundA from the Sounds folder of the current directory.
//  [x] Per-monitor DPI: at N times 96 dpi each logical pixel of the scene is shown as
//      an N x N block and pointer positions are divided back (monitor_scale.h).
// Limits: one thread; the screen is measured at start-up and at each WM_DPICHANGED;
// nothing is released at the end. Every platform call goes through the Win32Api record (win32_api.h).
// Links: user32, gdi32, winmm (and kernel32); statically linked C++ runtime.

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
