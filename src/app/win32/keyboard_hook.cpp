#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

//------------------------------------------------------------------------------
// Ends the program on an Escape key-down and swallows it; chains everything else.
// Alt+Escape arrives as WM_SYSKEYDOWN and is chained like any other key.
LRESULT CALLBACK keyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode >= 0 && wParam == WM_KEYDOWN && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_ESCAPE) {
        win32.PostQuitMessage(0);
        running = false;
        return 1;
    }
    return win32.CallNextHookEx(nullptr, nCode, wParam, lParam);
}
