#include "app/win32/monitor_scale.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

//------------------------------------------------------------------------------
// Handles the overlay's messages. WM_CLOSE is answered without closing: only
// Escape or WM_QUIT ends the program. WM_DPICHANGED (the monitor's scale changed,
// or the overlay is on another monitor) is followed; the suggested rectangle is not
// used, the overlay covers the screen.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
    case WM_PAINT:
    case WM_CLOSE:
        return 0;
    case WM_SETCURSOR:
        win32.SetCursor(nullptr);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            win32.PostQuitMessage(0);
            running = false;
            return 1;
        }
        return 0;
    case WM_DPICHANGED:
        followDpiChange(LOWORD(wParam));
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return 0;
    default:
        return win32.DefWindowProcA(window, message, wParam, lParam);
    }
}
