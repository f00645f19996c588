#include "app/win32/shell.h"
#include "app/win32/win32_api.h"

bool running = true;

//------------------------------------------------------------------------------
// At most one message per pass, so the low-level hooks get their turn inside the
// next PeekMessageA; the sleep keeps the thread from spinning.
void runMessageLoop() {
    while (running) {
        MSG message{};
        if (win32.PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            } else {
                win32.TranslateMessage(&message);
                win32.DispatchMessageA(&message);
            }
        }
        win32.Sleep(1);
    }
}
